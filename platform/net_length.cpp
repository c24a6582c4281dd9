#include "platform/net_length.h"

namespace glyphoria::platform {

bool ParseContentLength(const char* text, std::uint64_t* out) {
    if (!text || !*text) return false;
    std::uint64_t value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        unsigned digit = static_cast<unsigned>(*p - '0');
        if (value > (UINT64_MAX - digit) / 10) return false;
        value = value * 10 + digit;
    }
    *out = value;
    return true;
}

}  // namespace glyphoria::platform
