// The plug-in framework with a real module: loading, registration, start-up,
// idle task, menu states, shortcut and shutdown, each exactly once; and the
// resource descriptions the host refuses.
#include <cstdlib>

#include "host/app/plugin_loader.h"
#include "host/core/framework.h"
#include "host/core/selection.h"
#include "host/sdk/session.h"
#include "host_fixture.h"
#include "platform/library.h"
#include "plugin/test_plugin.h"
#include "tests/common/test_env.h"

namespace hosttest {
namespace {

namespace platform = glyphoria::platform;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::ScopedEnv;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

class PlugInModuleTest : public HostTest {
  public:
    void TearDown() override {
        HostTest::TearDown();
        hostapp::UnloadPlugInModules();
        // Our own handle last, so the next test loads the module afresh.
        for (void* h : handles)
            platform::FreeLibraryHandle(h);
    }
    TestPlugInCounters* Load(const std::string& path) {
        std::string error;
        EXPECT_TRUE(hostapp::LoadPlugInModule(path, &error)) << error;
        void* h = platform::LoadLibraryUtf8(path.c_str());
        handles.push_back(h);
        auto get = reinterpret_cast<TestPlugInCountersProc>(
            platform::FindExport(h, "TestPlugInCountersGet"));
        return get ? get() : nullptr;
    }

    std::vector<void*> handles;
};

TEST_F(PlugInModuleTest, RegistersStartsAnswersAndShutsDownOnce) {
    TestPlugInCounters* c = Load(TEST_PLUGIN_PATH);
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(1, c->registered);
    EXPECT_EQ(0x7e5700u, c->pluginID);
    EXPECT_EQ(0, c->startups);
    InterfacePtr<IPlugInResourceAccess> access(QueryPlugInResourceAccess(0x7e5700));
    ASSERT_TRUE(access);
    EXPECT_EQ(handles.back(), access->GetModuleHandle());  // the loader hands out one handle
    EXPECT_EQ(TEST_PLUGIN_PATH, access->GetPlugInFile().GetPath());
    EXPECT_EQ(nullptr, QueryPlugInResourceAccess(0x1234));

    hostcore::StartupPlugIns();
    hostcore::StartupPlugIns();
    EXPECT_EQ(1, c->startups);

    // The idle task runs at the first idle moment, once.
    EXPECT_EQ(1, hostcore::RunIdleTasks());
    EXPECT_EQ(0, hostcore::RunIdleTasks());
    EXPECT_EQ(1, c->idleRuns);
    EXPECT_NE(0u, c->hostWindow);
    EXPECT_EQ(kToggleAction, hostcore::ActionForKey('T', 1));
    EXPECT_EQ(0u, hostcore::ActionForKey('T', 0));

    int16 state = -1;
    PMString name;
    ASSERT_TRUE(hostcore::QueryActionState(kToggleAction, &state, &name));
    EXPECT_EQ(kEnabledAction, state);
    EXPECT_EQ(PMString("Toggle"), name);
    EXPECT_TRUE(hostcore::DoMenuAction(kToggleAction));
    hostcore::QueryActionState(kToggleAction, &state, nullptr);
    EXPECT_EQ(kEnabledAction | kSelectedAction, state);

    // Disabled as the host has it until the plug-in sees a selection.
    hostcore::QueryActionState(kSelectionAction, &state, &name);
    EXPECT_EQ(kDisabled_Unselected, state);
    EXPECT_FALSE(hostcore::DoMenuAction(kSelectionAction));
    hostcore::SelectItems({Frame("alpha")});
    hostcore::QueryActionState(kSelectionAction, &state, &name);
    EXPECT_EQ(kEnabledAction, state);
    EXPECT_EQ(PMString("Act on selection"), name);
    EXPECT_EQ(1, c->extensionStartups);
    EXPECT_GE(c->selectionChanges, 1);

    {
        AcquireModalDialogState modal;
        EXPECT_FALSE(hostcore::DoMenuAction(kToggleAction));
        EXPECT_FALSE(SendKeyToApplication(VirtualKey(0, 'T'), 1));
    }
    EXPECT_EQ(1, c->actionsDone);

    // A key a plug-in's window hands the application runs the bound action;
    // other keys and modifiers run nothing.
    EXPECT_FALSE(SendKeyToApplication(VirtualKey(0, 'T'), 4096));
    EXPECT_FALSE(SendKeyToApplication(VirtualKey(0, 'z'), 1));
    EXPECT_TRUE(SendKeyToApplication(VirtualKey(0, 'T'), 1));
    EXPECT_EQ(2, c->actionsDone);

    hostcore::ShutdownPlugIns();
    hostcore::ShutdownPlugIns();
    EXPECT_EQ(1, c->shutdowns);
    EXPECT_EQ(1, c->extensionShutdowns);
    EXPECT_FALSE(hostcore::HasAction(kToggleAction));
}

TEST_F(PlugInModuleTest, ResourceDescriptionFromTheFileBesideTheModule) {
    TempDir dir;
    std::string copy = dir.file("Copy.pln");
    ASSERT_TRUE(WriteFileBytes(copy, ReadFileBytes(TEST_PLUGIN_PATH)));
    std::string error;
    {
        ScopedEnv fromFile("TEST_PLUGIN_RESOURCES_FROM_FILE", "1");
        EXPECT_FALSE(hostapp::LoadPlugInModule(copy, &error));
        EXPECT_NE(std::string::npos, error.find("Copy.rsrc.json")) << error;
    }
    void* h = platform::LoadLibraryUtf8(TEST_PLUGIN_PATH);
    handles.push_back(h);
    auto resources =
        reinterpret_cast<GetPlugInResourcesProc>(platform::FindExport(h, "GetPlugInResources"));
    ASSERT_TRUE(resources);
    WriteFileBytes(dir.file("Copy.rsrc.json"), resources());
    ScopedEnv fromFile("TEST_PLUGIN_RESOURCES_FROM_FILE", "1");
    TestPlugInCounters* c = Load(copy);
    ASSERT_NE(nullptr, c);
    EXPECT_TRUE(hostcore::HasAction(kToggleAction));
}

TEST_F(PlugInModuleTest, FolderLoadsOnlyModulesAndReportsTheRest) {
    TempDir dir;
    WriteFileBytes(dir.file("A.pln"), ReadFileBytes(TEST_PLUGIN_PATH));
    WriteFileBytes(dir.file("B.pln"), "not a module");
    WriteFileBytes(dir.file("notes.txt"), "ignored");
    std::vector<std::string> errors;
    EXPECT_EQ(1, hostapp::LoadPlugInFolder(dir.path(), &errors));
    ASSERT_EQ(1u, errors.size());
    EXPECT_NE(std::string::npos, errors[0].find("B.pln"));
    EXPECT_EQ(0, hostapp::LoadPlugInFolder(dir.file("missing"), &errors));
    handles.push_back(platform::LoadLibraryUtf8(dir.file("A.pln").c_str()));
}

class FakePlugIn : public IPlugIn {
  public:
    void SetPluginID(PluginID id) override { fID = id; }
    PluginID GetPluginID() const override { return fID; }
    ErrorCode RegisterImplementations(IImplementationRegistry* r) override {
        ErrorCode err = RegisterImplementationOf<CActionComponent>(r, 0x42);
        if (fRegisterTwice) err |= RegisterImplementationOf<CActionComponent>(r, 0x42);
        return err;
    }
    bool fRegisterTwice = false;
    PluginID fID = 0;
};

TEST_F(HostTest, BadResourceDescriptionsAreRefused) {
    struct Case {
        const char* name;
        const char* resources;
        bool registerTwice;
    };
    const Case cases[] = {
        {"not json", "{", false},
        {"no plug-in id", R"({"plugin": {}})", false},
        {"negative id", R"({"plugin": {"id": "-1"}})", false},
        {"unregistered implementation", R"({"plugin": {"id": 1}, "bosses": [{"name": "b",
            "kind": "action-component", "interfaces": [{"iid": 1, "impl": "0x43"}]}]})",
         false},
        {"unknown add-in target", R"({"plugin": {"id": 1}, "addins": [{"to": "document",
            "interfaces": [{"iid": 1, "impl": "0x42"}]}]})",
         false},
        {"action without component", R"({"plugin": {"id": 1}, "actions": [{"id": 7,
            "component": "nobody"}]})",
         false},
        {"unknown boss kind", R"({"plugin": {"id": 1}, "bosses": [{"name": "b",
            "kind": "window", "interfaces": []}]})",
         false},
        {"implementation registered twice", R"({"plugin": {"id": 1}})", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlugIn plugin;
        plugin.fRegisterTwice = c.registerTwice;
        std::string error;
        EXPECT_FALSE(hostcore::InstallPlugIn(&plugin, c.resources, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(hostcore::IsImplementationRegistered(0x42));
    }
    FakePlugIn ok;
    std::string error;
    EXPECT_TRUE(hostcore::InstallPlugIn(&ok, R"({"plugin": {"id": "0x99"}})", &error)) << error;
    EXPECT_EQ(0x99u, ok.GetPluginID());
    EXPECT_TRUE(hostcore::IsImplementationRegistered(0x42));
}

}  // namespace
}  // namespace hosttest
