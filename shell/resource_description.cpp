#include "shell/resource_description.h"

#include <string>

namespace glyphoria {

namespace {

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

const char* PlugInResourceDescription(const char* more_addins) {
    static std::string description;
    description = kShellObjects;
    if (more_addins && *more_addins) description.append(",\n    ").append(more_addins);
    description += kActions;
    return description.c_str();
}

}  // namespace glyphoria
