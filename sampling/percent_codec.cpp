#include "sampling/percent_codec.h"

#include "sampling/utf8_text.h"

namespace glyphoria {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool IsPercentSafeByte(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 'a' && byte <= 'z') || byte == '-' || byte == '.' || byte == '_';
}

std::string PercentEncode(const char* bytes, std::size_t length) {
    std::string out;
    out.reserve(length * 3);
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (IsPercentSafeByte(byte)) {
            out += static_cast<char>(byte);
        } else {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        }
    }
    return out;
}

std::size_t PercentDecode(const char* text, char* out, std::size_t cap) {
    if (cap == 0) return 0;
    std::size_t n = 0;
    const char* p = text ? text : "";
    while (*p && n + 1 < cap) {
        int high = p[0] == '%' ? HexValue(p[1]) : -1;
        // p[1] is a digit, not the NUL, when high >= 0: p[2] is still inside.
        int low = high >= 0 ? HexValue(p[2]) : -1;
        if (low >= 0) {
            out[n++] = static_cast<char>(high * 16 + low);
            p += 3;
        } else {
            out[n++] = *p++;
        }
    }
    // Stopped for want of room: do not leave half a character behind.
    if (*p) n = Utf8CompleteLength(out, n);
    out[n] = '\0';
    return n;
}

}  // namespace glyphoria
