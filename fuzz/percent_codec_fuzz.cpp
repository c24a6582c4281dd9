// Percent-encoding and decoding over any bytes. Input: one byte for the
// decoder's output size, then the bytes.
//
// Checked: decode(encode(x)) == x for every x (NUL bytes included); the
// encoded form holds only the safe bytes and "%XX"; decoding any text into
// any buffer stays inside it, terminates it, and cuts only at a whole UTF-8
// character of what it decoded.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_input.h"
#include "sampling/percent_codec.h"

namespace {

// Well-formed sequences by their lead byte: C2-DF, E0-EF and F0-F4 start
// two, three and four bytes (overlong three- and four-byte forms pass).
bool ValidUtf8(const char* s, std::size_t n) {
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        if (c < 0x80)
            len = 1;
        else if (c >= 0xC2 && c <= 0xDF)
            len = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            len = 3;
        else if (c >= 0xF0 && c <= 0xF4)
            len = 4;
        if (len == 0 || i + len > n) return false;
        for (std::size_t k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += len;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    glyphoria::fuzz::FuzzInput in(data, size);
    const std::size_t cap = in.Byte();
    const std::string bytes = in.Rest();

    const std::string encoded = glyphoria::PercentEncode(bytes.data(), bytes.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(encoded[i]);
        if (c == '%') {
            if (i + 2 >= encoded.size() || !std::isxdigit(encoded[i + 1]) ||
                !std::isxdigit(encoded[i + 2]))
                std::abort();
            i += 2;
        } else if (!glyphoria::IsPercentSafeByte(c)) {
            std::abort();
        }
    }
    std::unique_ptr<char[]> round(new char[bytes.size() + 1]);
    const std::size_t n = glyphoria::PercentDecode(encoded.c_str(), round.get(), bytes.size() + 1);
    if (n != bytes.size() || std::memcmp(round.get(), bytes.data(), n) != 0) std::abort();

    // Any text into a buffer of exactly cap bytes.
    if (cap > 0) {
        const std::string text = glyphoria::fuzz::CString(bytes);
        std::unique_ptr<char[]> out(new char[cap]);
        const std::size_t got = glyphoria::PercentDecode(text.c_str(), out.get(), cap);
        if (got >= cap || out[got] != '\0') std::abort();
        // When the text decodes to valid UTF-8, a cut falls between two
        // characters: what follows it is no continuation byte.
        std::unique_ptr<char[]> whole(new char[text.size() + 1]);
        const std::size_t all =
            glyphoria::PercentDecode(text.c_str(), whole.get(), text.size() + 1);
        if (got > all || std::memcmp(whole.get(), out.get(), got) != 0) std::abort();
        if (got < all && ValidUtf8(whole.get(), all) &&
            (static_cast<unsigned char>(whole[got]) & 0xC0) == 0x80)
            std::abort();
    }
    return 0;
}
