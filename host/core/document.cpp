#include "host/core/document.h"

#include "host/core/boss.h"
#include "host/core/host_state.h"
#include "host/core/sequences.h"
#include "host/core/stored_objects.h"
#include "host/sdk/page_items.h"

namespace hostcore {

Document::Document(DocModel model) : fModel(std::move(model)) {
    fRoot = HostBoss::Create(this, kRootUID, 0);
    fRoot->SetFactory(AddStoredInterface);
}

Document::~Document() {
    ForgetDocument(this);
    fRoot->Release();
}

IPMUnknown* Document::Instantiate(UID uid) {
    if (!fModel.Exists(uid)) return nullptr;
    if (uid == kRootUID) {
        fRoot->AddRef();
        return fRoot;
    }
    HostBoss* boss = HostBoss::Create(this, uid, 0);
    boss->SetFactory(AddStoredInterface);
    return boss;
}

IPMUnknown* Document::Root() {
    return fRoot;
}

DocModel& Document::Edit() {
    WillChange(this);
    Moved();
    return fModel;
}

void Document::Reset(DocModel model) {
    fModel = std::move(model);
    fUndo.clear();
    fRedo.clear();
    Moved();
}

void Document::RestoreModel(const DocModel& model) {
    fModel = model;
    Moved();
}

void Document::Moved() {
    ++fRevision;
    NoteViewChange();
}

void Document::PushUndoStep(const std::string& name, DocModel before) {
    fUndo.push_back(Step{name, std::move(before)});
    fRedo.clear();
}

ErrorCode Document::Undo() {
    if (SequenceDepth() > 0) return kCommandNotAllowedError;
    if (fUndo.empty()) return kFailure;
    Step step = std::move(fUndo.back());
    fUndo.pop_back();
    fRedo.push_back(Step{step.name, fModel});
    fModel = std::move(step.model);
    Moved();
    TellDocumentChanged(this);
    return kSuccess;
}

ErrorCode Document::Redo() {
    if (SequenceDepth() > 0) return kCommandNotAllowedError;
    if (fRedo.empty()) return kFailure;
    Step step = std::move(fRedo.back());
    fRedo.pop_back();
    fUndo.push_back(Step{step.name, fModel});
    fModel = std::move(step.model);
    Moved();
    TellDocumentChanged(this);
    return kSuccess;
}

}  // namespace hostcore

const UIDRef UIDRef::gNull;

bool UIDRef::ExistsInDB() const {
    return IsValid() && fDB->IsValidUID(fUID);
}

UID UIDList::At(int32 i) const {
    return i >= 0 && i < Length() ? fUIDs[static_cast<size_t>(i)] : kInvalidUID;
}

bool UIDList::Contains(UID uid) const {
    for (UID u : fUIDs)
        if (u == uid) return true;
    return false;
}

IPMUnknown* InstantiateInterface(IDataBase* db, UID uid, PMIID iid) {
    if (!db || uid == kInvalidUID) return nullptr;
    IPMUnknown* obj = db->Instantiate(uid);
    if (!obj) return nullptr;
    IPMUnknown* iface = obj->QueryInterface(iid);
    obj->Release();
    return iface;
}

UIDRef GetUIDRef(const IPMUnknown* iface) {
    if (!iface) return UIDRef::gNull;
    InterfacePtr<IPersistUIDData> p(iface, IID_IPERSISTUIDDATA);
    return p ? UIDRef(p->GetDataBase(), p->GetUID()) : UIDRef::gNull;
}

UID GetUID(const IPMUnknown* iface) {
    return GetUIDRef(iface).GetUID();
}

IDataBase* GetDataBase(const IPMUnknown* iface) {
    return GetUIDRef(iface).GetDataBase();
}
