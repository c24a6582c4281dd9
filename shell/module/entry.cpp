// The module's exported entries: the plug-in object and its resource
// description, with the selection suite of the frame-sampling code.
#include "host/sdk/plugin.h"
#include "shell/plugin_registration.h"

namespace {

ErrorCode RegisterSelectionSuite(IImplementationRegistry*) {
    return kSuccess;
}

}  // namespace

PLUGIN_EXPORT IPlugIn* GetPlugIn() {
    static glyphoria::GlyphoriaPlugIn plugin(&RegisterSelectionSuite);
    return &plugin;
}

PLUGIN_EXPORT const char* GetPlugInResources() {
    return glyphoria::PlugInResourceDescription(false);
}
