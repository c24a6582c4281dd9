// Facts about the running process and its windows.
//
// ExecutablePath: the full path of the program the process runs, UTF-8,
// bounded by cap; false with "" when unknown or longer. Windows:
// GetModuleFileNameW(nullptr). POSIX: /proc/self/exe.
// ExecutableFileName: its last part (no folder), under the same rules.
//
// ForegroundTopLevelWindow: the foreground window's top-level ancestor,
// climbing the parent-or-owner chain (GetParent on Windows) until it ends; 0
// on a platform without a window system (POSIX), where the host's own main
// window handle stands in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glyphoria::platform {

bool ExecutablePath(char* buf, std::size_t cap);
bool ExecutableFileName(char* buf, std::size_t cap);
std::uintptr_t ForegroundTopLevelWindow();

}  // namespace glyphoria::platform
