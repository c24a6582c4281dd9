// Encoding codes to code pages, the UTF-8/UTF-16 helpers and WideText. The
// code-page work itself is the platform's (platform/codepage.h).
#include "support/text_convert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"
#include "support/string_table.h"

namespace glyphoria {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one UTF-8 character at text[i] (i < n) and advances i. Overlong
// forms, surrogates and code points past U+10FFFF count as invalid: the lead
// byte becomes U+FFFD and decoding resumes at the next byte.
char32_t DecodeUtf8(const std::string& text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t extra = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + extra >= text.size()) {
        ++i;
        return kReplacement;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuation(byte)) {
            ++i;
            return kReplacement;
        }
        code = (code << 6) | (byte & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += extra + 1;
    return code;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

char16_t* CopyWide(const char16_t* text, std::size_t n) {
    auto* copy = static_cast<char16_t*>(std::malloc((n + 1) * sizeof(char16_t)));
    if (!copy) return nullptr;
    if (n) std::memcpy(copy, text, n * sizeof(char16_t));
    copy[n] = 0;
    return copy;
}

}  // namespace

unsigned CodePageOfEncoding(int encoding) {
    switch (encoding) {
        case kEncodingMac:
            return platform::kCodePageMacRoman;
        case kEncodingAnsi:
            return platform::AnsiCodePage();
        case kEncodingUtf8:
            return platform::kCodePageUtf8;
        default:
            return static_cast<unsigned>(encoding);
    }
}

char16_t* ToWide(const char* text, int encoding) {
    if (!text) return nullptr;
    return platform::MultiByteToWide(text, -1, CodePageOfEncoding(encoding));
}

std::size_t FromWide(const char16_t* text, int encoding, char* out, std::size_t size) {
    return platform::WideToMultiByte(text, -1, CodePageOfEncoding(encoding), out, size);
}

std::size_t WideLength(const char16_t* text) {
    std::size_t n = 0;
    if (text) {
        while (text[n])
            ++n;
    }
    return n;
}

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = DecodeUtf8(text, i);
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 | (code >> 10));
            out += static_cast<char16_t>(0xDC00 | (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::size_t Utf8PrefixLength(const char* text, std::size_t len, std::size_t max_bytes) {
    if (!text) return 0;
    if (len <= max_bytes) return len;
    // text[max_bytes] is the first byte left out; if it continues a character,
    // back up to that character's lead byte. Stray continuation bytes are not
    // UTF-8, so such a text is cut where it stands.
    std::size_t n = max_bytes;
    for (int back = 0; back < 3 && n > 0 && IsContinuation(static_cast<unsigned char>(text[n]));
         ++back) {
        --n;
    }
    if (n == max_bytes) return n;
    return static_cast<unsigned char>(text[n]) >= 0xC0 ? n : max_bytes;
}

// WideText

WideText WideText::FromKey(const char* key) {
    return Adopt(GetLocalizedWide(key));
}

WideText WideText::Adopt(char16_t* text) {
    WideText result;
    result.text_ = text;
    return result;
}

WideText::WideText(const char* text, int encoding) : text_(ToWide(text, encoding)) {}

WideText::WideText(const char16_t* text, long count) {
    if (!text) return;
    std::size_t n = 0;
    while ((count < 0 || n < static_cast<std::size_t>(count)) && text[n])
        ++n;
    text_ = CopyWide(text, n);
}

WideText::WideText(int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", number);
    text_ = ToWide(digits, kEncodingUtf8);
}

WideText::~WideText() {
    std::free(text_);
}

WideText::WideText(WideText&& other) noexcept : text_(other.text_) {
    other.text_ = nullptr;
}

WideText& WideText::operator=(WideText&& other) noexcept {
    if (this != &other) {
        std::free(text_);
        text_ = other.text_;
        other.text_ = nullptr;
    }
    return *this;
}

std::size_t WideText::ToBytes(char* out, std::size_t size, int encoding) const {
    return FromWide(text_, encoding, out, size);
}

std::string WideText::ToUtf8() const {
    if (!text_) return std::string();
    return Utf16ToUtf8(std::u16string(text_, WideLength(text_)));
}

}  // namespace glyphoria
