#include "mac/plugin/mac_components.h"

#include "host/sdk/session.h"
#include "mac/bindings/mac_bindings.h"
#include "mac/mac_lifecycle.h"
#include "mac/mac_log.h"
#include "mac/mac_strings.h"
#include "mac/plugin/mac_platform.h"
#include "mac/try_controller.h"
#include "shell/ids.h"
#include "shell/menu_entries.h"

namespace glyphoria::mac {

namespace {

void InstallIdleTask() {
    InterfacePtr<IIdleTask> task(GetExecutionContextSession(), kMyIdleTaskIID);
    if (task) task->InstallTask(0);
}

MacHostCalls ModuleHostCalls() {
    MacHostCalls calls = HostMacCalls();
    calls.install_idle_task = &InstallIdleTask;
    return calls;
}

std::string RestoreName() {
    return MacLocalized("restore");
}

const MenuForm kMacForm = {&TryController::isVisible, &ToggleSamplerWindow, &MacShowAbout,
                           &RestoreName};

}  // namespace

MyStartupShutdown::MyStartupShutdown(IPMUnknown* boss)
    : CPMUnknown<IStartupShutdownService>(boss) {}
MyStartupShutdown::~MyStartupShutdown() = default;

void MyStartupShutdown::Startup() {
    BringUpMacPlatform();
    MacStartup(ModuleHostCalls());
    MacLog("platform: %s", PlatformOnScreen() ? "windows on screen" : "headless windows");
}

void MyStartupShutdown::Shutdown() {
    MacShutdown();
    TakeDownMacPlatform();
}

MyIdleTask::MyIdleTask(IPMUnknown* boss) : CIdleTask(boss) {}
MyIdleTask::~MyIdleTask() = default;

uint32 MyIdleTask::RunTask(uint32, IdleTimer*) {
    return MacRunTask(ModuleHostCalls());
}

const char* MyIdleTask::TaskName() {
    return "Glyphoria";
}

MyAction::MyAction(IPMUnknown* boss) : CActionComponent(boss) {}
MyAction::~MyAction() = default;

void MyAction::UpdateActionStates(IActiveContext*, IActionStateList* list, GSysPoint, IPMUnknown*) {
    UpdateMenuEntries(kMacForm, list);
}

void MyAction::DoAction(IActiveContext*, ActionID id, GSysPoint, IPMUnknown*) {
    RunMenuEntry(kMacForm, id);
}

ErrorCode RegisterMacImplementations(IImplementationRegistry* registry) {
    if (!registry) return kFailure;
    ErrorCode err = RegisterImplementationOf<MyAction>(registry, kMyActionImpl);
    if (err == kSuccess)
        err = RegisterImplementationOf<MyStartupShutdown>(registry, kMyStartupShutdownImpl);
    if (err == kSuccess) err = RegisterImplementationOf<MyIdleTask>(registry, kMyIdleTaskImpl);
    return err;
}

ErrorCode MacPlugIn::RegisterImplementations(IImplementationRegistry* registry) {
    ErrorCode err = RegisterMacImplementations(registry);
    if (err == kSuccess && more_) err = more_(registry);
    return err;
}

}  // namespace glyphoria::mac
