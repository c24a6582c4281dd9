#include "shell/plugin_registration.h"

#include "shell/action.h"
#include "shell/idle_task.h"
#include "shell/ids.h"
#include "shell/startup_shutdown.h"

namespace glyphoria {

namespace {

PluginID& AssignedID() {
    static PluginID id = kGlyphoriaPluginID;
    return id;
}

}  // namespace

void GlyphoriaPlugIn::SetPluginID(PluginID id) {
    AssignedID() = id;
}

PluginID GlyphoriaPlugIn::GetPluginID() const {
    return AssignedID();
}

ErrorCode GlyphoriaPlugIn::RegisterImplementations(IImplementationRegistry* registry) {
    ErrorCode err = RegisterShellImplementations(registry);
    if (err == kSuccess && more_) err = more_(registry);
    return err;
}

PluginID GlyphoriaPluginID() {
    return AssignedID();
}

ErrorCode RegisterShellImplementations(IImplementationRegistry* registry) {
    if (!registry) return kFailure;
    ErrorCode err = RegisterImplementationOf<MyAction>(registry, kMyActionImpl);
    if (err == kSuccess)
        err = RegisterImplementationOf<MyStartupShutdown>(registry, kMyStartupShutdownImpl);
    if (err == kSuccess) err = RegisterImplementationOf<MyIdleTask>(registry, kMyIdleTaskImpl);
    return err;
}

}  // namespace glyphoria
