// What the shell keeps for the whole process: where the plug-in module came
// from (recorded at start-up from the host's resource access) and the host's
// top-level window (found by the idle task). Both are read by the command
// bridge; they live until the module is unloaded.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glyphoria {

// handle: the system's handle of the module (may be null); file: the module's
// file as the host knows it (may be null or empty).
void SetPlugInModule(void* handle, const char* file);
void* PlugInModuleHandle();
// The module's full path: what the system reports for the handle, else the
// file the host gave. False with "" when neither is known or it does not fit.
bool PlugInModulePath(char* buf, std::size_t cap);

// Zero until the idle task has run.
void SetHostWindowHandle(std::uintptr_t window);
std::uintptr_t HostWindowHandle();

}  // namespace glyphoria
