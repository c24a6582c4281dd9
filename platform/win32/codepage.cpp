// Code-page conversions on Windows: MultiByteToWideChar and
// WideCharToMultiByte, which know every code page the system has installed.
#include "platform/codepage.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/utf16_units.h"
#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char kUnmappable = '?';

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

// Without the code page only ASCII is certain.
char16_t* AsciiToWide(const char* text, std::size_t n) {
    auto* out = static_cast<char16_t*>(std::malloc((n + 1) * sizeof(char16_t)));
    if (!out) return nullptr;
    for (std::size_t i = 0; i < n; ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        out[i] = byte < 0x80 ? static_cast<char16_t>(byte) : kReplacement;
    }
    out[n] = 0;
    return out;
}

// UTF-8 (and UTF-7) take neither a default character nor the best-fit flag.
bool IsUnicodePage(unsigned code_page) {
    return code_page == CP_UTF8 || code_page == CP_UTF7;
}

// One character into bytes; '?' when the code page lacks it. Best-fit
// mappings ("a" for an a with macron) are refused: they would change the text
// silently where the other platforms show that something is missing.
std::size_t CharToBytes(const char16_t* unit, std::size_t units, unsigned code_page, char* bytes,
                        int size) {
    auto* wide = reinterpret_cast<const wchar_t*>(unit);
    int n = 0;
    if (IsUnicodePage(code_page)) {
        n = WideCharToMultiByte(code_page, 0, wide, static_cast<int>(units), bytes, size, nullptr,
                                nullptr);
    } else {
        BOOL defaulted = FALSE;
        n = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(units),
                                bytes, size, "?", &defaulted);
        if (defaulted) n = 0;
    }
    if (n <= 0) {
        bytes[0] = kUnmappable;
        return 1;
    }
    return static_cast<std::size_t>(n);
}

}  // namespace

unsigned AnsiCodePage() {
    return GetACP();
}

char16_t* MultiByteToWide(const char* text, long len, unsigned code_page) {
    std::size_t n = 0;
    if (text) n = len < 0 ? std::strlen(text) : static_cast<std::size_t>(len);
    if (n == 0) return AsciiToWide("", 0);
    if (n > static_cast<std::size_t>(INT_MAX)) return nullptr;
    // No flags: bytes that do not convert become U+FFFD (UTF-8) or the code
    // page's own default character instead of failing the whole text.
    int units = MultiByteToWideChar(code_page, 0, text, static_cast<int>(n), nullptr, 0);
    if (units <= 0) return AsciiToWide(text, n);
    auto* out = static_cast<char16_t*>(
        std::malloc((static_cast<std::size_t>(units) + 1) * sizeof(char16_t)));
    if (!out) return nullptr;
    MultiByteToWideChar(code_page, 0, text, static_cast<int>(n), reinterpret_cast<wchar_t*>(out),
                        units);
    out[units] = 0;
    return out;
}

std::size_t WideToMultiByte(const char16_t* text, long len, unsigned code_page, char* out,
                            std::size_t size) {
    if (!out) return 0;
    std::size_t n = 0;
    if (text) {
        if (len < 0) {
            while (text[n])
                ++n;
        } else {
            n = static_cast<std::size_t>(len);
        }
    }
    CPINFO info;
    const bool known = GetCPInfo(code_page, &info) != 0;

    // One character at a time, so a character that does not fit whole is
    // left out instead of being split.
    std::size_t written = 0;
    for (std::size_t i = 0; i < n;) {
        std::size_t units = CharUnits(text, i, n);
        char bytes[16];
        std::size_t count = 0;
        if (units == 1 && IsSurrogate(text[i])) {
            bytes[count++] = kUnmappable;
        } else if (!known) {
            bytes[count++] = text[i] < 0x80 ? static_cast<char>(text[i]) : kUnmappable;
        } else {
            count = CharToBytes(text + i, units, code_page, bytes, sizeof bytes);
        }
        if (count > size - written) break;
        std::memcpy(out + written, bytes, count);
        written += count;
        i += units;
    }
    out[written] = '\0';
    return written;
}

}  // namespace glyphoria::platform
