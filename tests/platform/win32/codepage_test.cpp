// Code pages through the system's tables: the pages the system uses (1252
// Western, 437 DOS, 10000 Macintosh, 932 Japanese, UTF-8), what a page lacks,
// and cuts that never split a character.
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace glyphoria::platform {
namespace {

std::u16string ToWide(const std::string& bytes, unsigned code_page) {
    char16_t* wide = MultiByteToWide(bytes.data(), static_cast<long>(bytes.size()), code_page);
    if (!wide) return u"<null>";
    std::u16string result(wide);
    std::free(wide);
    return result;
}

std::string ToBytes(const std::u16string& wide, unsigned code_page, std::size_t size = 64) {
    std::string out(size + 1, '#');
    std::size_t n = WideToMultiByte(wide.c_str(), -1, code_page, out.data(), size);
    EXPECT_EQ('\0', out[n]);
    return out.substr(0, n);
}

TEST(Win32CodePages, RoundTrips) {
    struct Case {
        unsigned code_page;
        std::string bytes;
        std::u16string wide;
    } cases[] = {
        {1252, "\xC4rger \x80 \x85 \x96", u"\u00C4rger \u20AC \u2026 \u2013"},
        {437, "\x84\x94\x81\xE1 \xC9\xCD\xBB", u"\u00E4\u00F6\u00FC\u00DF \u2554\u2550\u2557"},
        {kCodePageMacRoman, "\x8A\x9A\x9F\xA7\xC9\xDB", u"\u00E4\u00F6\u00FC\u00DF\u2026\u20AC"},
        {932, "\x93\xFA\x96\x7B abc", u"\u65E5\u672C abc"},
        {kCodePageUtf8, "\xC3\xA4 \xF0\x9F\x98\x80", u"\u00E4 \U0001F600"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code_page);
        EXPECT_EQ(c.wide, ToWide(c.bytes, c.code_page));
        EXPECT_EQ(c.bytes, ToBytes(c.wide, c.code_page));
    }
}

TEST(Win32CodePages, MissingCharactersBecomeQuestionMarks) {
    struct Case {
        unsigned code_page;
        std::u16string wide;
        std::string bytes;
    } cases[] = {
        // No best-fit: an a with macron is not quietly turned into "a".
        {1252, u"\u0101b\u65E5", "?b?"},
        {437, u"\u20AC1", "?1"},
        {kCodePageMacRoman, u"\u0411x", "?x"},
        // An unpaired surrogate is no character in any page.
        {kCodePageUtf8, u"a\xD800" u"b", "a?b"},
        {1252, u"a\xDC00", "a?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code_page);
        EXPECT_EQ(c.bytes, ToBytes(c.wide, c.code_page));
    }
}

TEST(Win32CodePages, CutsKeepCharactersWhole) {
    struct Case {
        unsigned code_page;
        std::u16string wide;
        std::size_t size;
        std::string bytes;
    } cases[] = {
        {932, u"a\u65E5\u672C", 4, "a\x93\xFA"},
        {932, u"a\u65E5", 2, "a"},
        {kCodePageUtf8, u"ab\u20AC", 4, "ab"},
        {kCodePageUtf8, u"\U0001F600x", 3, ""},
        {1252, u"abc", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(c.bytes, ToBytes(c.wide, c.code_page, c.size));
    }
}

TEST(Win32CodePages, UnknownPagesStillCarryAscii) {
    EXPECT_EQ(u"ok\uFFFD", ToWide("ok\xE4", 4242));
    EXPECT_EQ("ok?", ToBytes(u"ok\u00E4", 4242));
    EXPECT_EQ(u"", ToWide("", 1252));
    char16_t* none = MultiByteToWide(nullptr, -1, 1252);
    ASSERT_NE(nullptr, none);
    EXPECT_EQ(u"", std::u16string(none));
    std::free(none);
}

}  // namespace
}  // namespace glyphoria::platform
