#include "support/text_convert.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

using testing::ScopedEnv;

std::u16string Take(char16_t* text) {
    if (!text) return u"<null>";
    std::u16string result(text);
    std::free(text);
    return result;
}

TEST(TextConvertTest, AnsiCodePageFollowsTheLocaleVariables) {
    struct Case {
        const char* all;
        const char* ctype;
        const char* lang;
        unsigned expected;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", nullptr, nullptr, 65001},
        {"en_US.utf8", nullptr, nullptr, 65001},
        {"C", "en_US.UTF-8", nullptr, 1252},  // LC_ALL wins, even when it is "C"
        {nullptr, "de_DE.ISO-8859-1", "en_US.UTF-8", 1252},
        {nullptr, nullptr, "fr_FR.UTF-8", 65001},
        {"", "", "", 1252},
        {nullptr, nullptr, nullptr, 1252},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.all ? c.all : "-") + "/" + (c.ctype ? c.ctype : "-") + "/" +
                     (c.lang ? c.lang : "-"));
        ScopedEnv all("LC_ALL", c.all);
        ScopedEnv ctype("LC_CTYPE", c.ctype);
        ScopedEnv lang("LANG", c.lang);
        EXPECT_EQ(platform::AnsiCodePage(), c.expected);
    }
}

TEST(TextConvertTest, CodePagesRoundTrip) {
    struct Case {
        const char* name;
        int encoding;
        std::string bytes;
        std::u16string wide;
    };
    const Case cases[] = {
        {"mac roman", kEncodingMac, "\x8A\x9A\x9F\xA7\xC9", u"\u00E4\u00F6\u00FC\u00DF\u2026"},
        {"windows 1252", 1252, "\xE4\xF6\xFC\xDF\x85\x80", u"\u00E4\u00F6\u00FC\u00DF\u2026\u20AC"},
        {"dos 437", 437, "\x84\x94\x81\xE1", u"\u00E4\u00F6\u00FC\u00DF"},
        {"utf-8", kEncodingUtf8,
         "Schlie\xC3\x9F"
         "en \xE2\x80\xA6 \xF0\x9F\x98\x80",
         u"Schlie\u00DFen \u2026 \U0001F600"},
        {"ascii in any page", 1252, "plain", u"plain"},
        {"empty", kEncodingUtf8, "", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Take(ToWide(c.bytes.c_str(), c.encoding)), c.wide);
        char out[64];
        EXPECT_EQ(FromWide(c.wide.c_str(), c.encoding, out, sizeof out - 1), c.bytes.size());
        EXPECT_EQ(std::string(out), c.bytes);
        WideText text(c.bytes.c_str(), c.encoding);
        EXPECT_EQ(std::u16string(text.get()), c.wide);
        EXPECT_EQ(text.ToUtf8(), Utf16ToUtf8(c.wide));
    }
}

TEST(TextConvertTest, InvalidInputIsReplacedNotDropped) {
    EXPECT_EQ(Take(ToWide("a\xFF"
                          "b",
                          kEncodingUtf8)),
              u"a\uFFFD"
              "b");
    EXPECT_EQ(Take(ToWide("ab\xC3", kEncodingUtf8)), u"ab\uFFFD");
    // 0x81 is unassigned in 1252: iconv refuses it, Windows' own table maps
    // it to the C1 control of the same number. Either way nothing is dropped.
#ifdef _WIN32
    EXPECT_EQ(Take(ToWide("x\x81y", 1252)), u"x\u0081y");
#else
    EXPECT_EQ(Take(ToWide("x\x81y", 1252)), u"x\uFFFDy");
#endif
    // An unknown code page still gives ASCII.
    EXPECT_EQ(Take(ToWide("ok\xE4", 4242)), u"ok\uFFFD");
    EXPECT_EQ(ToWide(nullptr, kEncodingUtf8), nullptr);

    char out[16];
    EXPECT_EQ(FromWide(u"\u00E4\u4E2D!", 1252, out, 15), 3u);
    EXPECT_STREQ(out, "\xE4?!");
    EXPECT_EQ(FromWide(u"a\xD800"
                       "b",
                       kEncodingUtf8, out, 15),
              3u);
    EXPECT_STREQ(out, "a?b");
    EXPECT_EQ(FromWide(nullptr, kEncodingUtf8, out, 15), 0u);
    EXPECT_STREQ(out, "");
}

TEST(TextConvertTest, FromWideWritesSizeBytesAndATerminatorOnly) {
    struct Case {
        const char* name;
        const char16_t* text;
        int encoding;
        std::size_t size;
        const char* expected;
    };
    const Case cases[] = {
        {"fits exactly", u"abcd", kEncodingUtf8, 4, "abcd"},
        {"cut", u"abcdef", kEncodingUtf8, 4, "abcd"},
        {"zero size", u"abc", kEncodingUtf8, 0, ""},
        {"multibyte character not split", u"ab\u00E4", kEncodingUtf8, 3, "ab"},
        {"four-byte character not split", u"a\U0001F600", kEncodingUtf8, 4, "a"},
        {"single-byte page", u"\u00E4\u00F6\u00FC", 1252, 2, "\xE4\xF6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[32];
        std::memset(buffer, '#', sizeof buffer);
        std::size_t written = FromWide(c.text, c.encoding, buffer, c.size);
        EXPECT_EQ(written, std::strlen(c.expected));
        EXPECT_STREQ(buffer, c.expected);
        for (std::size_t i = c.size + 1; i < sizeof buffer; ++i)
            EXPECT_EQ(buffer[i], '#') << i;
    }
}

TEST(TextConvertTest, Utf8AndUtf16Conversions) {
    EXPECT_EQ(Utf8ToUtf16("Gr\xC3\xBC\xC3\x9F"
                          "e \xF0\x9F\x98\x80"),
              u"Gr\u00FC\u00DFe \U0001F600");
    EXPECT_EQ(Utf16ToUtf8(u"Gr\u00FC\u00DFe \U0001F600"),
              "Gr\xC3\xBC\xC3\x9F"
              "e \xF0\x9F\x98\x80");
    // Overlong, surrogate, out of range, truncated, stray continuation.
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF|\xED\xA0\x80|\xF5\x80\x80\x80|\xE2\x80|\x80"),
              u"\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD|\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(u"a") + char16_t(0xDC00) + u"b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(TextConvertTest, Utf8PrefixEndsOnACharacterBoundary) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t max;
        std::size_t expected;
    };
    const Case cases[] = {
        {"short text whole", "abc", 10, 3},
        {"ascii cut", "abcdef", 4, 4},
        {"two-byte character kept out", "ab\xC3\xA4", 3, 2},
        {"two-byte character fits",
         "ab\xC3\xA4"
         "c",
         4, 4},
        {"three-byte character", "a\xE2\x80\xA6", 3, 1},
        {"four-byte character", "a\xF0\x9F\x98\x80", 4, 1},
        {"zero", "\xC3\xA4", 0, 0},
        {"stray continuation bytes cut as they stand", "\x80\x80\x80\x80\x80", 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8PrefixLength(c.text.data(), c.text.size(), c.max), c.expected);
    }
}

TEST(TextConvertTest, WideTextCopiesAndConvertsBack) {
    const char16_t source[] = u"abcdef";
    EXPECT_EQ(std::u16string(WideText(source, 3).get()), u"abc");
    EXPECT_EQ(std::u16string(WideText(source, 100).get()), u"abcdef");  // stops at the NUL
    EXPECT_EQ(std::u16string(WideText(-42).get()), u"-42");

    // A moved-from text owns nothing; ASan sees a double free otherwise.
    WideText a(u"move me", -1);
    WideText b;
    b = std::move(a);
    EXPECT_EQ(a.get(), nullptr);
    EXPECT_EQ(WideText(std::move(b)).ToUtf8(), "move me");

    ScopedEnv all("LC_ALL", "de_DE.ISO-8859-1");
    WideText umlaut(u"\u00C4rger", -1);
    char bytes[8];
    EXPECT_EQ(umlaut.ToBytes(bytes, 7), 5u);  // ANSI is 1252 under this locale
    EXPECT_STREQ(bytes, "\xC4rger");
    EXPECT_EQ(umlaut.ToBytes(bytes, 7, kEncodingUtf8), 6u);
    EXPECT_STREQ(bytes, "\xC3\x84rger");
    // The Mac table's code page is fixed, whatever the locale.
    EXPECT_EQ(CodePageOfEncoding(kEncodingMac), 10000u);
}

}  // namespace
}  // namespace glyphoria
