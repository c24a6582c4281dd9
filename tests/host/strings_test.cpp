// UTF-8 and UTF-16 conversion of the host strings.
#include <gtest/gtest.h>

#include "host/sdk/strings.h"

namespace {

struct Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

TEST(HostStringsTest, Utf8ToUtf16) {
    const Case cases[] = {
        {"ascii", "Hello", u"Hello"},
        {"two-byte", "K\xC3\xB6ln", u"K\u00F6ln"},
        {"three-byte", "\xE2\x82\xAC", u"\u20AC"},
        {"four-byte", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"stray continuation", "a\x80z", u"a\uFFFDz"},
        {"truncated", "a\xE2\x82", u"a\uFFFD"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD"},
        {"beyond unicode", "\xF4\x90\x80\x80", u"\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.utf16, StringUtils::Utf8ToUtf16(c.utf8));
    }
}

TEST(HostStringsTest, Utf16ToUtf8ReplacesLoneSurrogates) {
    EXPECT_EQ("\xF0\x9F\x98\x80", StringUtils::Utf16ToUtf8(u"\U0001F600"));
    EXPECT_EQ(
        "a\xEF\xBF\xBD"
        "b",
        StringUtils::Utf16ToUtf8(std::u16string{u'a', 0xD800, u'b'}));
    EXPECT_EQ("\xEF\xBF\xBD", StringUtils::Utf16ToUtf8(std::u16string{0xDC00}));
}

TEST(HostStringsTest, PMStringCountsCharactersNotBytes) {
    PMString s("K\xC3\xB6ln");
    EXPECT_EQ(4, s.CharCount());
    s.AppendW(0x1F600);
    EXPECT_EQ(5, s.CharCount());
    EXPECT_EQ(u"K\u00F6ln\U0001F600", s.GetWString().Units());
    WideString w;
    w.Append(0x1F600);
    EXPECT_EQ(2, w.Length());  // story indices count UTF-16 units
}

}  // namespace
