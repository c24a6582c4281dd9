// A plug-in module built only for the host tests. It registers a start-up
// service, an idle task that binds a shortcut, an action component with a
// toggle and a selection-dependent entry, and a layout selection suite with
// its extension, and counts what the host calls.
#include "test_plugin.h"

#include <cstdlib>

#include "host/sdk/plugin.h"
#include "host/sdk/selection.h"
#include "host/sdk/services.h"
#include "host/sdk/session.h"
#include "host/sdk/utils.h"

namespace {

TestPlugInCounters gCounters;
bool gChecked = false;

class ITestSuite : public IPMUnknown {
  public:
    enum { kDefaultIID = kTestSuiteIID };
    virtual ErrorCode GetSelectedFrames(UIDList& frames) = 0;
};

class StartupService : public CPMUnknown<IStartupShutdownService> {
  public:
    using CPMUnknown<IStartupShutdownService>::CPMUnknown;
    void Startup() override {
        ++gCounters.startups;
        InterfacePtr<IIdleTask> task(GetExecutionContextSession(), kTestIdleIID);
        if (task) task->InstallTask(0);
    }
    void Shutdown() override { ++gCounters.shutdowns; }
};

class IdleTask : public CIdleTask {
  public:
    using CIdleTask::CIdleTask;
    uint32 RunTask(uint32, IdleTimer*) override {
        ++gCounters.idleRuns;
        IApplication* app = GetExecutionContextSession()->QueryApplication();
        gCounters.hostWindow = app->GetMainWindowHandle();
        InterfacePtr<IShortcutManager> shortcuts(app, IID_ISHORTCUTMANAGER);
        shortcuts->RemoveAllShortcutsForAction(kToggleAction);
        shortcuts->AddShortcut(kToggleAction, "DefaultContext", VirtualKey(0, 'T'), 1);
        return kEndOfTime;
    }
    const char* TaskName() override { return "TestPlugIn"; }
};

UIDList SelectedFrames() {
    UIDList frames;
    ISelectionManager* selection = Utils<ISelectionUtils>()->GetActiveSelection();
    InterfacePtr<ITestSuite> suite(selection, kTestSuiteIID);
    if (suite) suite->GetSelectedFrames(frames);
    return frames;
}

class Action : public CActionComponent {
  public:
    using CActionComponent::CActionComponent;
    void UpdateActionStates(IActiveContext*, IActionStateList* list, GSysPoint,
                            IPMUnknown*) override {
        for (int32 i = 0; i < list->Length(); ++i) {
            if (list->GetNthAction(i) == kToggleAction) {
                list->SetNthActionState(i, gChecked ? 3 : 1);
            } else if (list->GetNthAction(i) == kSelectionAction && !SelectedFrames().IsEmpty()) {
                list->SetNthActionState(i, kEnabledAction);
                list->SetNthActionName(i, "Act on selection");
            }
        }
    }
    void DoAction(IActiveContext*, ActionID id, GSysPoint, IPMUnknown*) override {
        ++gCounters.actionsDone;
        if (id == kToggleAction) gChecked = !gChecked;
    }
};

class SuiteASB : public CPMUnknown<ITestSuite> {
  public:
    using CPMUnknown<ITestSuite>::CPMUnknown;
    ErrorCode GetSelectedFrames(UIDList& frames) override {
        InterfacePtr<IIntegratorTarget> target(this, IID_IINTEGRATORTARGET);
        if (!target) return kFailure;
        auto suites = target->GetTarget(kTestSuiteIID);
        ErrorCode err = kSuccess;
        for (auto it = suites->rbegin(); it != suites->rend(); ++it) {
            err = static_cast<ITestSuite*>(*it)->GetSelectedFrames(frames);
            if (err != kSuccess) break;
        }
        return err;
    }
};

class SuiteLayoutCSB : public CPMUnknown<ITestSuite> {
  public:
    using CPMUnknown<ITestSuite>::CPMUnknown;
    ErrorCode GetSelectedFrames(UIDList& frames) override {
        InterfacePtr<ILayoutTarget> layout(this, IID_ILAYOUTTARGET);
        frames = layout ? layout->GetUIDList(1, 0) : UIDList();
        return kSuccess;
    }
};

class Extension : public CPMUnknown<ISelectionExtension> {
  public:
    using CPMUnknown<ISelectionExtension>::CPMUnknown;
    void SelectionChanged(int32, PMIID, void*) override { ++gCounters.selectionChanges; }
    void HandleIntegratorSuiteMessage(void*, ClassID, PMIID) override {}
    void SelectionAttributeChanged(ClassID, PMIID, void*, const UIDList*, int32,
                                   IPMUnknown*) override {}
    ProtocolCollection* CreateObserverProtocolCollection() override {
        return new ProtocolCollection;
    }
    void Startup() override { ++gCounters.extensionStartups; }
    void Shutdown() override { ++gCounters.extensionShutdowns; }
};

class PlugIn : public IPlugIn {
  public:
    void SetPluginID(PluginID id) override { gCounters.pluginID = id; }
    PluginID GetPluginID() const override { return gCounters.pluginID; }
    ErrorCode RegisterImplementations(IImplementationRegistry* r) override {
        ++gCounters.registered;
        ErrorCode err = kSuccess;
        err |= RegisterImplementationOf<StartupService>(r, 0x7e5701);
        err |= RegisterImplementationOf<IdleTask>(r, 0x7e5702);
        err |= RegisterImplementationOf<Action>(r, 0x7e5703);
        err |= RegisterImplementationOf<SuiteASB>(r, 0x7e5704);
        err |= RegisterImplementationOf<SuiteLayoutCSB>(r, 0x7e5705);
        err |= RegisterImplementationOf<Extension>(r, 0x7e5706);
        return err;
    }
};

const char kResources[] = R"({
  "plugin": {"name": "TestPlugIn", "id": "0x7e5700"},
  "bosses": [
    {"name": "kTestStartupBoss", "kind": "service",
     "interfaces": [{"iid": "IID_ISTARTUPSHUTDOWN", "impl": "0x7e5701"}]},
    {"name": "kTestActionBoss", "kind": "action-component",
     "interfaces": [{"iid": "IID_IACTIONCOMPONENT", "impl": "0x7e5703"}]}
  ],
  "addins": [
    {"to": "session", "interfaces": [{"iid": "0x7e5701", "impl": "0x7e5702"}]},
    {"to": "abstract-selection", "interfaces": [{"iid": "0x7e5700", "impl": "0x7e5704"}]},
    {"to": "layout-selection", "interfaces": [
      {"iid": "0x7e5700", "impl": "0x7e5705"},
      {"iid": "IID_ISELECTIONEXTENSION", "impl": "0x7e5706"}]}
  ],
  "actions": [
    {"id": "0x7e5710", "component": "kTestActionBoss", "name": "Toggle", "menu": "Test"},
    {"id": "0x7e5711", "component": "kTestActionBoss", "name": "Selection only",
     "menu": "Test", "enabled": false}
  ]
})";

}  // namespace

PLUGIN_EXPORT IPlugIn* GetPlugIn() {
    static PlugIn plugin;
    return &plugin;
}

// The tests make the host read the description from the file beside the
// module by setting this variable.
PLUGIN_EXPORT const char* GetPlugInResources() {
    return std::getenv("TEST_PLUGIN_RESOURCES_FROM_FILE") ? nullptr : kResources;
}

PLUGIN_EXPORT TestPlugInCounters* TestPlugInCountersGet() {
    return &gCounters;
}
