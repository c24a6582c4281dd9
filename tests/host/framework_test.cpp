// Idle tasks and shortcuts with an in-process plug-in: scheduling by delay,
// the end-of-time value, the modal-dialog state, rebinding keys.
#include <chrono>
#include <thread>

#include "host/core/framework.h"
#include "host/sdk/plugin.h"
#include "host/sdk/services.h"
#include "host/sdk/session.h"
#include "host_fixture.h"

namespace hosttest {
namespace {

constexpr PMIID kIdleIID = 0x1d1e00;
std::vector<uint32> gDelays;  // what RunTask returns, one per run
int gRuns = 0;

class Task : public CIdleTask {
  public:
    using CIdleTask::CIdleTask;
    uint32 RunTask(uint32, IdleTimer* timer) override {
        EXPECT_GT((*timer)(), 0u);
        uint32 next = gRuns < static_cast<int>(gDelays.size()) ? gDelays[gRuns] : kEndOfTime;
        ++gRuns;
        return next;
    }
    const char* TaskName() override { return "task"; }
};

class PlugIn : public IPlugIn {
  public:
    void SetPluginID(PluginID) override {}
    PluginID GetPluginID() const override { return 0x1d1e; }
    ErrorCode RegisterImplementations(IImplementationRegistry* r) override {
        return RegisterImplementationOf<Task>(r, 0x1d1e01);
    }
};

class FrameworkTest : public HostTest {
  public:
    void SetUp() override {
        HostTest::SetUp();
        gDelays.clear();
        gRuns = 0;
        std::string error;
        ASSERT_TRUE(hostcore::InstallPlugIn(&plugin, R"({"plugin": {"id": "0x1d1e"}, "addins": [
            {"to": "session", "interfaces": [{"iid": "0x1d1e00", "impl": "0x1d1e01"}]}]})",
                                            &error))
            << error;
        task.reset(static_cast<IIdleTask*>(GetExecutionContextSession()->QueryInterface(kIdleIID)));
        ASSERT_TRUE(task);
    }
    void TearDown() override {
        task.reset();
        HostTest::TearDown();
    }

    PlugIn plugin;
    InterfacePtr<IIdleTask> task;
};

TEST_F(FrameworkTest, TaskRunsWhenItsDelayHasPassedUntilEndOfTime) {
    // Generous delays: the machine may be busy between two calls.
    gDelays = {0, 300};
    task->InstallTask(150);
    EXPECT_EQ(0, hostcore::RunIdleTasks());  // not yet
    std::this_thread::sleep_for(std::chrono::milliseconds(170));
    EXPECT_EQ(1, hostcore::RunIdleTasks());
    EXPECT_EQ(1, hostcore::RunIdleTasks());  // asked again at once (0)
    EXPECT_EQ(0, hostcore::RunIdleTasks());  // then 300 ms later
    std::this_thread::sleep_for(std::chrono::milliseconds(320));
    EXPECT_EQ(1, hostcore::RunIdleTasks());  // returns end of time
    EXPECT_EQ(0, hostcore::InstalledIdleTaskCount());
    EXPECT_EQ(3, gRuns);
}

TEST_F(FrameworkTest, NoIdleTimeWhileAModalDialogStateIsHeld) {
    task->InstallTask(0);
    {
        AcquireModalDialogState outer;
        AcquireModalDialogState inner;
        EXPECT_EQ(0, hostcore::RunIdleTasks());
    }
    EXPECT_EQ(1, hostcore::RunIdleTasks());
}

TEST_F(FrameworkTest, UninstalledTaskDoesNotRun) {
    task->InstallTask(0);
    task->InstallTask(0);  // installing twice is one task
    EXPECT_EQ(1, hostcore::InstalledIdleTaskCount());
    task->UninstallTask();
    EXPECT_EQ(0, hostcore::RunIdleTasks());
}

TEST_F(FrameworkTest, ShortcutsMoveBetweenActionsAndAreForgotten) {
    IApplication* app = GetExecutionContextSession()->QueryApplication();
    InterfacePtr<IShortcutManager> keys(app, IID_ISHORTCUTMANAGER);
    ASSERT_TRUE(keys);
    EXPECT_EQ(kSuccess, keys->AddShortcut(1, "DefaultContext", VirtualKey(0, 'G'), 1));
    EXPECT_EQ(kSuccess, keys->AddShortcut(2, "DefaultContext", VirtualKey(0, 'G'), 1));
    EXPECT_EQ(2u, keys->FindAction("DefaultContext", VirtualKey(0, 'G'), 1));
    EXPECT_TRUE(keys->GetShortcuts(1).empty());
    EXPECT_EQ(kSuccess, keys->AddShortcut(2, "DefaultContext", VirtualKey(0, 'H'), 4096));
    EXPECT_EQ(2u, keys->GetShortcuts(2).size());
    keys->RemoveAllShortcutsForAction(2);
    EXPECT_EQ(0u, hostcore::ActionForKey('G', 1));
    EXPECT_NE(kSuccess, keys->AddShortcut(2, "", VirtualKey(0, 'G'), 1));
    EXPECT_NE(kSuccess, keys->AddShortcut(2, "DefaultContext", VirtualKey(0, 0), 1));
    EXPECT_NE(0u, app->GetMainWindowHandle());
}

}  // namespace
}  // namespace hosttest
