// Facts about the running process and its windows.
//
// ExecutableFileName: the file name (no folder) of the program the process
// runs, UTF-8, bounded by cap; false with "" when unknown. Windows:
// GetModuleFileNameW(nullptr). POSIX: /proc/self/exe.
//
// ForegroundTopLevelWindow: the foreground window's top-level ancestor,
// climbing the parent-or-owner chain (GetParent on Windows) until it ends; 0
// on a platform without a window system (POSIX), where the host's own main
// window handle stands in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glyphoria::platform {

bool ExecutableFileName(char* buf, std::size_t cap);
std::uintptr_t ForegroundTopLevelWindow();

}  // namespace glyphoria::platform
