// The running process on Windows: its executable's path and file name and the
// top-level window above the foreground window.
#include "platform/process.h"

#include <cstring>
#include <string>

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

bool ExecutablePath(char* buf, std::size_t cap) {
    if (!buf || cap == 0) return false;
    buf[0] = '\0';
    std::string path = win32::Narrow(win32::ModulePath(nullptr).c_str());
    if (path.empty() || path.size() >= cap) return false;
    std::memcpy(buf, path.c_str(), path.size() + 1);
    return true;
}

bool ExecutableFileName(char* buf, std::size_t cap) {
    if (!buf || cap == 0) return false;
    buf[0] = '\0';
    std::string path = win32::Narrow(win32::ModulePath(nullptr).c_str());
    std::size_t cut = path.find_last_of("\\/");
    std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    if (name.empty() || name.size() >= cap) return false;
    std::memcpy(buf, name.c_str(), name.size() + 1);
    return true;
}

std::uintptr_t ForegroundTopLevelWindow() {
    HWND window = GetForegroundWindow();
    // GetParent gives the parent of a child and the owner of a popup; the
    // chain is bounded in case a broken one loops.
    for (int depth = 0; window && depth < 256; ++depth) {
        HWND up = GetParent(window);
        if (!up) break;
        window = up;
    }
    return reinterpret_cast<std::uintptr_t>(window);
}

}  // namespace glyphoria::platform
