// UTF-8 and UTF-16 conversion for the host strings. Malformed input becomes
// U+FFFD, one replacement per bad sequence.
#include "host/sdk/strings.h"

namespace StringUtils {

namespace {

constexpr UTF32TextChar kReplacement = 0xFFFD;

// Decodes one code point at text[i], advancing i.
UTF32TextChar DecodeUtf8(const std::string& text, size_t* i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char c = byte(*i);
    if (c < 0x80) {
        ++*i;
        return c;
    }
    int extra;
    UTF32TextChar cp, min;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1, cp = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3, cp = c & 0x07, min = 0x10000;
    } else {
        ++*i;
        return kReplacement;
    }
    size_t k = *i + 1;
    for (int n = 0; n < extra; ++n, ++k) {
        if (k >= text.size() || (byte(k) & 0xC0) != 0x80) {
            *i = k;
            return kReplacement;
        }
        cp = (cp << 6) | (byte(k) & 0x3F);
    }
    *i = k;
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return kReplacement;
    return cp;
}

}  // namespace

void AppendUtf8(std::string* out, UTF32TextChar c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = kReplacement;
    if (c < 0x80) {
        *out += static_cast<char>(c);
    } else if (c < 0x800) {
        *out += static_cast<char>(0xC0 | (c >> 6));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += static_cast<char>(0xE0 | (c >> 12));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (c >> 18));
        *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string* out, UTF32TextChar c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = kReplacement;
    if (c < 0x10000) {
        *out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        *out += static_cast<char16_t>(0xD800 + (c >> 10));
        *out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    size_t i = 0;
    while (i < utf8.size())
        AppendUtf16(&out, DecodeUtf8(utf8, &i));
    return out;
}

std::string Utf16ToUtf8(const std::u16string& utf16) {
    std::string out;
    for (size_t i = 0; i < utf16.size(); ++i) {
        UTF32TextChar c = utf16[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(&out, c);  // a lone surrogate becomes U+FFFD here
    }
    return out;
}

}  // namespace StringUtils

PMString::PMString(const WideString& wide) : fText(wide.GetUTF8String()) {}

void PMString::AppendW(UTF32TextChar c) {
    StringUtils::AppendUtf8(&fText, c);
}

int32 PMString::CharCount() const {
    int32 n = 0;
    for (unsigned char c : fText)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

WideString PMString::GetWString() const {
    return WideString(*this);
}

WideString::WideString(const PMString& s) : fUnits(StringUtils::Utf8ToUtf16(s.GetUTF8String())) {}

WideString::WideString(const char* utf8)
    : fUnits(StringUtils::Utf8ToUtf16(utf8 ? std::string(utf8) : std::string())) {}

void WideString::Append(UTF32TextChar c) {
    StringUtils::AppendUtf16(&fUnits, c);
}

std::string WideString::GetUTF8String() const {
    return StringUtils::Utf16ToUtf8(fUnits);
}
