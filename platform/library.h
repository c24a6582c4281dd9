// Loading code modules at run time: the plug-in modules of the host program,
// the web-window library of the plug-in. Paths are UTF-8.
// Every call returns null on failure; nothing is reported beyond that.
#pragma once

#include <cstddef>

namespace glyphoria::platform {

// The module's handle, or null when it cannot be loaded (missing file,
// missing dependency, wrong architecture).
void* LoadLibraryUtf8(const char* path);
// The address of an exported name, null when the module has none.
void* FindExport(void* library, const char* name);
// Unloads; a null handle is ignored.
void FreeLibraryHandle(void* library);
// The full path of a loaded module as the system reports it for the handle
// (UTF-8, bounded by cap); false with "" when it is not known.
bool ModuleFilePath(void* library, char* buf, std::size_t cap);
// Why the last load failed, for diagnostics ("" when unknown).
const char* LastLibraryError();

}  // namespace glyphoria::platform
