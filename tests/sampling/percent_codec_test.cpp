// Percent-encoding of label and request text: the exact safe set, uppercase
// hexadecimal, and a decoder that is safe on any input.
#include "sampling/percent_codec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "sampling/utf8_text.h"

namespace glyphoria {
namespace {

std::string Decode(const std::string& text, std::size_t cap = 2048) {
    std::string out(cap, '#');
    std::size_t n = PercentDecode(text.c_str(), &out[0], cap);
    EXPECT_EQ(out[n], '\0');
    return out.substr(0, n);
}

TEST(PercentEncode, KeepsOnlyTheSafeSet) {
    struct Case {
        std::string input;
        std::string expected;
    } cases[] = {
        {"Hello World!", "Hello%20World%21"},
        {"\xC3\xA9", "%C3%A9"},
        {"AZaz09-._~+/%", "AZaz09-._%7E%2B%2F%25"},
        {std::string("a\0\xFF", 3), "a%00%FF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(PercentEncode(c.input.data(), c.input.size()), c.expected);
    }
}

TEST(PercentDecode, DecodesValidEscapesCopiesTheRestAndStaysInItsBuffer) {
    struct Case {
        const char* input;
        std::size_t cap;
        std::string expected;
    } cases[] = {
        {"Hello%20World%21", 64, "Hello World!"},
        {"%c3%a9+", 64, "\xC3\xA9+"},
        {"100%", 64, "100%"},
        {"%4", 64, "%4"},
        {"%%41%G1%1G", 64, "%A%G1%1G"},
        {"abcdef", 4, "abc"},
        // The cut falls inside a character: the whole character goes.
        {"ab%C3%A9", 4, "ab"},
        {"ab%C3%A9", 5, "ab\xC3\xA9"},
        {"x", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(Decode(c.input, c.cap), c.expected);
    }
}

// An encoder written the other way round: search a table of safe bytes.
std::string ReferenceEncode(const std::string& bytes) {
    static const std::string kSafe =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-._";
    std::string out;
    for (unsigned char byte : bytes) {
        char escape[4] = {static_cast<char>(byte), 0};
        if (kSafe.find(static_cast<char>(byte)) == std::string::npos)
            std::snprintf(escape, sizeof escape, "%%%02X", byte);
        out += escape;
    }
    return out;
}

TEST(PercentCodec, AgreesWithAReferenceOnRandomUtf8) {
    std::mt19937 random(20261208);
    const char32_t kRanges[][2] = {
        {0x01, 0x7F}, {0x80, 0x7FF}, {0x800, 0xD7FF}, {0xE000, 0xFFFF}, {0x10000, 0x10FFFF}};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int i = std::uniform_int_distribution<int>(0, 40)(random); i > 0; --i) {
            const char32_t* range = kRanges[std::uniform_int_distribution<int>(0, 4)(random)];
            AppendUtf8(text, std::uniform_int_distribution<char32_t>(range[0], range[1])(random));
        }
        SCOPED_TRACE(text);
        std::string encoded = PercentEncode(text.data(), text.size());
        ASSERT_EQ(encoded, ReferenceEncode(text));
        ASSERT_EQ(Decode(encoded), text);
    }
}

}  // namespace
}  // namespace glyphoria
