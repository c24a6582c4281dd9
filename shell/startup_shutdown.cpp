#include "shell/startup_shutdown.h"

#include "host/sdk/plugin.h"
#include "host/sdk/session.h"
#include "shell/ids.h"
#include "shell/plugin_registration.h"
#include "shell/plugin_state.h"
#include "shell/web_control_emulation.h"
#include "shell/web_window_bridge.h"
#include "support/limits.h"
#include "support/log.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#ifdef _WIN32
#include "dialogs/forms.h"
#endif

namespace glyphoria {

MyStartupShutdown::MyStartupShutdown(IPMUnknown* boss)
    : CPMUnknown<IStartupShutdownService>(boss) {}

MyStartupShutdown::~MyStartupShutdown() = default;

void MyStartupShutdown::Startup() {
#ifdef _WIN32
    // Before anything can show a box or run a transfer.
    InstallDialogForms();
#endif
    InterfacePtr<IPlugInResourceAccess> access(QueryPlugInResourceAccess(GlyphoriaPluginID()));
    if (access)
        SetPlugInModule(access->GetModuleHandle(), access->GetPlugInFile().GetPath().c_str());

    char prefs_path[kPathBufferSize];
    if (DefaultPrefsPath(prefs_path, sizeof prefs_path)) Prefs().Load(prefs_path);

    LoadStrings();

    OpenLog(1, "");
    LogMessage("Glyphoria: CS %d\r", kHostVersion);
    LogTime("", nullptr);

    SetWebControlEmulation();

    InterfacePtr<IIdleTask> task(GetExecutionContextSession(), kMyIdleTaskIID);
    if (task) task->InstallTask(0);
}

void MyStartupShutdown::Shutdown() {
    CloseSamplerWindow();
    Prefs().Save();
}

}  // namespace glyphoria
