// System error texts on POSIX: strerror_r, which unlike strerror is safe
// whichever thread asks.
#include "platform/system_error.h"

#include <cerrno>
#include <cstring>

namespace glyphoria::platform {

namespace {

// strerror_r comes in two forms; each overload fits one of them.
[[maybe_unused]] const char* Pick(int rc, const char* buffer) {
    return rc == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* Pick(const char* text, const char*) {
    return text;
}

SystemErrorTextSource g_source = nullptr;

}  // namespace

std::string SystemErrorText(int code) {
    if (code == 0) code = errno;
    if (g_source) return g_source(code);
    char buffer[256] = "";
    const char* text = Pick(strerror_r(code, buffer, sizeof buffer), buffer);
    if (!text || !*text) return "Unknown error " + std::to_string(code);
    return text;
}

void SetSystemErrorTextSource(SystemErrorTextSource source) {
    g_source = source;
}

}  // namespace glyphoria::platform
