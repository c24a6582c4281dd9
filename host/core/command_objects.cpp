// Command objects: CmdUtils::CreateCommand and ProcessCommand. A command
// object collects its item list and data; processing hands them to the
// matching operation of edits.h.
#include <functional>

#include "host/core/boss.h"
#include "host/core/command_objects.h"
#include "host/core/document.h"
#include "host/core/edits.h"
#include "host/sdk/commands.h"

namespace hostcore {

namespace {

struct CommandData {
    ClassID cls = kInvalidClass;
    PMString name;
    UIDList items;
    UIDRef parent;
    PMPointList corners;
    IDataBase* importDB = nullptr;
    URI uri;
    std::function<ErrorCode(CommandData&)> run;  // set for host-made commands
};

class CommandImpl : public CPMUnknown<ICommand> {
  public:
    CommandImpl(IPMUnknown* boss, CommandData* data) : CPMUnknown<ICommand>(boss), fData(data) {}
    ~CommandImpl() override { delete fData; }
    ClassID GetCommandClass() const override { return fData->cls; }
    void SetItemList(const UIDList& items) override { fData->items = items; }
    const UIDList* GetItemList() const override { return &fData->items; }
    void SetName(const PMString& name) override { fData->name = name; }
    PMString GetName() const override { return fData->name; }
    CommandData* Data() { return fData; }

  private:
    CommandData* fData;
};

class PlaceDataImpl : public CPMUnknown<IPlaceData> {
  public:
    PlaceDataImpl(IPMUnknown* boss, CommandData* data)
        : CPMUnknown<IPlaceData>(boss), fData(data) {}
    void Set(const UIDRef& parent, const PMPointList* points, bool16) override {
        fData->parent = parent;
        fData->corners = points ? *points : PMPointList();
    }

  private:
    CommandData* fData;
};

class ImportDataImpl : public CPMUnknown<IImportData> {
  public:
    ImportDataImpl(IPMUnknown* boss, CommandData* data)
        : CPMUnknown<IImportData>(boss), fData(data) {}
    void Set(IDataBase* db, const URI& uri, int32, bool16, bool16, bool16, int32) override {
        fData->importDB = db;
        fData->uri = uri;
    }

  private:
    CommandData* fData;
};

ErrorCode RunDelete(CommandData& d) {
    return DeleteItems(Document::From(d.items.GetDataBase()), d.items.UIDs());
}

ErrorCode RunImportAndPlace(CommandData& d) {
    Document* doc = Document::From(d.importDB);
    if (!doc || Document::From(d.parent.GetDataBase()) != doc) return kInvalidParameterError;
    PMPointList corners = d.corners.size() >= 2 ? d.corners : PMPointList();
    UID frame = kInvalidUID;
    ErrorCode err = ImportAndPlace(doc, d.parent.GetUID(), corners, d.uri.GetURI(), &frame);
    d.items = UIDList(doc);
    if (err == kSuccess) d.items.Append(frame);
    return err;
}

}  // namespace

ICommand* MakeCommand(ClassID cls, const std::string& name,
                      std::function<ErrorCode(const UIDList& items)> run) {
    HostBoss* boss = HostBoss::Create(nullptr, kInvalidUID, cls);
    auto* data = new CommandData;
    data->cls = cls;
    data->name = name;
    if (run) data->run = [run](CommandData& d) { return run(d.items); };
    auto* cmd = new CommandImpl(boss, data);
    boss->AddOwned(IID_ICOMMAND, cmd);
    if (cls == kImportAndPlaceCmdBoss) {
        boss->AddOwned(IID_IPLACEDATA, new PlaceDataImpl(boss, data));
        boss->AddOwned(IID_IIMPORTDATA, new ImportDataImpl(boss, data));
    }
    return cmd;  // carries the boss's first reference
}

}  // namespace hostcore

namespace CmdUtils {

ICommand* CreateCommand(ClassID cls) {
    switch (cls) {
        case kDeleteCmdBoss:
            return hostcore::MakeCommand(cls, "Delete", nullptr);
        case kImportAndPlaceCmdBoss:
            return hostcore::MakeCommand(cls, "Place", nullptr);
        default:
            return nullptr;
    }
}

ErrorCode ProcessCommand(ICommand* cmd) {
    auto* impl = dynamic_cast<hostcore::CommandImpl*>(cmd);
    if (!impl) return kInvalidParameterError;
    hostcore::CommandData& d = *impl->Data();
    if (d.run) return d.run(d);
    switch (d.cls) {
        case kDeleteCmdBoss:
            return hostcore::RunDelete(d);
        case kImportAndPlaceCmdBoss:
            return hostcore::RunImportAndPlace(d);
        default:
            return kInvalidParameterError;
    }
}

}  // namespace CmdUtils
