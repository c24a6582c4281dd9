#include "platform/process.h"

#include <unistd.h>

#include <cstring>

#include "platform/path_style.h"

namespace glyphoria::platform {

bool ExecutablePath(char* buf, std::size_t cap) {
    if (!buf || cap == 0) return false;
    buf[0] = '\0';
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0 || static_cast<std::size_t>(n) >= cap) return false;
    std::memcpy(buf, path, static_cast<std::size_t>(n));
    buf[n] = '\0';
    return true;
}

bool ExecutableFileName(char* buf, std::size_t cap) {
    if (!buf || cap == 0) return false;
    buf[0] = '\0';
    char path[4096];
    if (!ExecutablePath(path, sizeof path)) return false;
    const char* slash = std::strrchr(path, kPathSeparator);
    const char* name = slash ? slash + 1 : path;
    std::size_t length = std::strlen(name);
    if (length == 0 || length >= cap) return false;
    std::memcpy(buf, name, length + 1);
    return true;
}

std::uintptr_t ForegroundTopLevelWindow() {
    return 0;
}

}  // namespace glyphoria::platform
