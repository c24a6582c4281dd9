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

// Menu names are the English texts; the restore entry takes its localised
// name whenever it is enabled.
const char kShellObjects[] = R"({
  "plugin": {"name": "Glyphoria", "id": "0x159800"},
  "bosses": [
    {"name": "kMyStartupShutdownBoss", "kind": "service",
     "interfaces": [{"iid": "IID_ISTARTUPSHUTDOWN", "impl": "0x159841"}]},
    {"name": "kMyActionBoss", "kind": "action-component",
     "interfaces": [{"iid": "IID_IACTIONCOMPONENT", "impl": "0x159840"}]}
  ],
  "addins": [
    {"to": "session", "interfaces": [{"iid": "0x159841", "impl": "0x159842"}]})";

const char kActions[] = R"(
  ],
  "actions": [
    {"id": "0x159840", "component": "kMyActionBoss", "menu": "Help",
     "name": "About Glyphoria..."},
    {"id": "0x159841", "component": "kMyActionBoss", "menu": "Glyphoria",
     "name": "Restore text frame", "enabled": false},
    {"id": "0x159842", "component": "kMyActionBoss", "menu": "Glyphoria", "name": "Sampler"}
  ]
})";

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

const char* PlugInResourceDescription(const char* more_addins) {
    static std::string description;
    description = kShellObjects;
    if (more_addins && *more_addins) description.append(",\n    ").append(more_addins);
    description += kActions;
    return description.c_str();
}

}  // namespace glyphoria
