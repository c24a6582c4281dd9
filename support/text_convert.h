// Text conversions by encoding code, shared by the dialog toolkit, the file
// helpers and "langString": 0 the Macintosh code page, 1 the system's ANSI
// code page, 2 UTF-8, any other value a code-page number.
//
// 8-bit to UTF-16 allocates (malloc, the caller frees); UTF-16 to 8-bit writes
// into the caller's buffer up to size bytes and then a NUL (size + 1 bytes).
#pragma once

#include <cstddef>
#include <string>

namespace glyphoria {

constexpr int kEncodingMac = 0;
constexpr int kEncodingAnsi = 1;
constexpr int kEncodingUtf8 = 2;

unsigned CodePageOfEncoding(int encoding);

char16_t* ToWide(const char* text, int encoding);
std::size_t FromWide(const char16_t* text, int encoding, char* out, std::size_t size);

// Length of a NUL-terminated UTF-16 string.
std::size_t WideLength(const char16_t* text);
// UTF-8 <-> UTF-16 for std::string users (invalid input becomes U+FFFD).
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);

// The longest prefix of text[0..len) that ends on a UTF-8 character boundary
// and is at most max_bytes long.
std::size_t Utf8PrefixLength(const char* text, std::size_t len, std::size_t max_bytes);

// An owned UTF-16 string that frees itself.
class WideText {
public:
    WideText() = default;
    // From a string-table key (GetLocalizedWide).
    static WideText FromKey(const char* key);
    // From 8-bit text in an encoding.
    WideText(const char* text, int encoding);
    // From UTF-16, up to count units or the terminator (count < 0).
    WideText(const char16_t* text, long count);
    // Decimal "%d".
    explicit WideText(int number);
    ~WideText();
    WideText(WideText&& other) noexcept;
    WideText& operator=(WideText&& other) noexcept;
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;

    const char16_t* get() const { return text_; }
    std::size_t length() const { return text_ ? WideLength(text_) : 0; }
    bool empty() const { return length() == 0; }
    // Back to 8-bit text (ANSI by default) into out: at most size bytes, then
    // a NUL. Returns the bytes written.
    std::size_t ToBytes(char* out, std::size_t size, int encoding = kEncodingAnsi) const;
    std::string ToUtf8() const;
    // Takes ownership of a malloc'd string.
    static WideText Adopt(char16_t* text);

private:
    char16_t* text_ = nullptr;
};

}  // namespace glyphoria
