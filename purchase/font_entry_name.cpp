#include "purchase/font_entry_name.h"

#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"
#include "support/text_convert.h"

namespace glyphoria {

namespace {

constexpr unsigned kCodePageDos = 437;
constexpr char kFontExtension[] = ".otf";

// A run without NUL bytes from code page 437 to UTF-8.
void AppendCodePage437(const char* bytes, std::size_t length, std::string* out) {
    if (length == 0) return;
    char16_t* wide = platform::MultiByteToWide(bytes, static_cast<long>(length), kCodePageDos);
    if (!wide) return;
    out->append(Utf16ToUtf8(std::u16string(wide)));
    std::free(wide);
}

bool IsControlCharacter(const std::string& text, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) return true;
    // C1 controls U+0080..U+009F are C2 80..C2 9F in UTF-8.
    if (c == 0xC2 && i + 1 < text.size()) {
        const unsigned char next = static_cast<unsigned char>(text[i + 1]);
        return next >= 0x80 && next <= 0x9F;
    }
    return false;
}

}  // namespace

bool IsValidUtf8(const char* bytes, std::size_t length) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t i = 0;
    while (i < length) {
        const unsigned char c = s[i];
        std::size_t extra;
        unsigned long min;
        unsigned long code;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (length - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            code = (code << 6) | (s[i + k] & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

std::string DecodeEntryName(const char* bytes, std::size_t length) {
    if (IsValidUtf8(bytes, length)) return std::string(bytes, length);
    // The conversion stops at a NUL, so convert around each one.
    std::string out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= length; ++i) {
        if (i == length || bytes[i] == '\0') {
            AppendCodePage437(bytes + start, i - start, &out);
            if (i < length) out.push_back('\0');
            start = i + 1;
        }
    }
    return out;
}

std::string LastPathComponent(const std::string& name) {
    const std::size_t cut = name.find_last_of("/\\");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

FontNameCheck CheckFontFileName(const std::string& file_name) {
    const std::size_t ext_length = sizeof(kFontExtension) - 1;
    if (file_name.size() < ext_length ||
        file_name.compare(file_name.size() - ext_length, ext_length, kFontExtension) != 0) {
        return FontNameCheck::kNotOpenType;
    }
    const std::string stem = file_name.substr(0, file_name.size() - ext_length);
    if (stem.find_first_not_of('.') == std::string::npos) return FontNameCheck::kUnsafe;
    for (std::size_t i = 0; i < file_name.size(); ++i) {
        if (IsControlCharacter(file_name, i) || file_name[i] == ':') return FontNameCheck::kUnsafe;
    }
    return FontNameCheck::kFont;
}

}  // namespace glyphoria
