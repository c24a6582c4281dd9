// The module's exported entries: the plug-in object and its resource
// description, with the selection suite of the frame-sampling code.
#include "host/sdk/plugin.h"
#include "sampling/suite_registration.h"
#include "shell/plugin_registration.h"
#include "support/string_table.h"

namespace {

// The string table is the one piece of process-wide state on the heap; it
// goes with the module, when the host unloads it.
struct ModuleState {
    ~ModuleState() { glyphoria::UnloadStrings(); }
} gModuleState;

}  // namespace

PLUGIN_EXPORT IPlugIn* GetPlugIn() {
    static glyphoria::GlyphoriaPlugIn plugin(&glyphoria::RegisterSamplingImplementations);
    return &plugin;
}

PLUGIN_EXPORT const char* GetPlugInResources() {
    return glyphoria::PlugInResourceDescription(glyphoria::SamplingResourceAddIns());
}
