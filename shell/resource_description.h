// The host's resource description of the plug-in (JSON): its objects (the
// start-up/shutdown service, the action component, the idle task added to
// the session) and its three menu entries, under the identifiers of
// shell/ids.h. Either form of the plug-in registers its own implementations
// under those identifiers.
//
// more_addins: further entries of its "addins" array (the selection
// suite's), or null; their implementations must be registered too. The text
// lives until the module is unloaded.
#pragma once

namespace glyphoria {

const char* PlugInResourceDescription(const char* more_addins);

}  // namespace glyphoria
