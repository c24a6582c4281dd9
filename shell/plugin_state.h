// What the shell keeps for the whole process: where the plug-in module came
// from (recorded at start-up from the host's resource access), read by the
// command bridge; it lives until the module is unloaded. The host's window,
// found by the idle task, is kept with the support services
// (support/host_window.h), where the dialogs and message boxes read it too.
#pragma once

#include <cstddef>

namespace glyphoria {

// handle: the system's handle of the module (may be null); file: the module's
// file as the host knows it (may be null or empty).
void SetPlugInModule(void* handle, const char* file);
void* PlugInModuleHandle();
// The module's full path: what the system reports for the handle, else the
// file the host gave. False with "" when neither is known or it does not fit.
bool PlugInModulePath(char* buf, std::size_t cap);

}  // namespace glyphoria
