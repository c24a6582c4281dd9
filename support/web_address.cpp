#include "support/web_address.h"

#include <cstring>

namespace glyphoria {

namespace {

bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix) {
        const char c =
            (*text >= 'A' && *text <= 'Z') ? static_cast<char>(*text - 'A' + 'a') : *text;
        if (c != *prefix) return false;
    }
    return true;
}

}  // namespace

bool IsAddressKey(const char* key) {
    if (!key) return false;
    for (const char* address : {"config", "search", "homepage", "cartUrl", "mlSamplerUrl"})
        if (std::strcmp(key, address) == 0) return true;
    return false;
}

bool IsWebAddress(const char* text) {
    if (!text) return false;
    for (const char* scheme : {"http://", "https://"}) {
        if (StartsWithNoCase(text, scheme)) {
            const char* host = text + std::strlen(scheme);
            return *host != '\0' && *host != '/';
        }
    }
    return false;
}

std::string SkippedAddressLine(const char* key, const char* value) {
    std::string line = "config: ";
    line += key ? key : "";
    line += " skipped, not an http or https address: ";
    for (const char* p = value ? value : ""; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        line.push_back(c < 0x20 || c == 0x7F ? '?' : *p);
    }
    return line;
}

}  // namespace glyphoria
