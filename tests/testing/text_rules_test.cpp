// The shop's text rules: query decoding, UTF-8 repair and line
// breaking, where a mistake would show as a wrong or missing sample.
#include <gtest/gtest.h>

#include "testing/shop/line_breaker.h"
#include "testing/shop/query.h"
#include "testing/shop/render_request.h"

namespace glyphoria::testing::shop {
namespace {

TEST(QueryTest, DecodesOnceAndKeepsPlusAndBrokenEscapes) {
    struct Case {
        const char* raw;
        const char* name;
        const char* expected;
    } cases[] = {
        {"RenderText=Hello%20World%21", "RenderText", "Hello World!"},
        {"RenderText=a+b", "RenderText", "a+b"},
        {"TextColor=%2523ff0000", "TextColor", "%23ff0000"},
        {"t=100%", "t", "100%"},
        {"t=%zz%4", "t", "%zz%4"},
        {"a=1&a=2", "a", "1"},
        {"WIDTH=7", "width", "7"},
        {"x=a=b", "x", "a=b"},
        {"flag&y=2", "flag", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        std::optional<std::string> value = Query(c.raw).Get(c.name);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, c.expected);
    }
    EXPECT_FALSE(Query("a=1").Get("b").has_value());
    EXPECT_EQ(QueryOfTarget("/render?x=%C3%A9").GetOr("x", ""), "\xC3\xA9");
}

TEST(Utf8RepairTest, KeepsWellFormedTextAndReplacesEachBadByte) {
    const std::string kReplacement = "\xEF\xBF\xBD";
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"plain", "plain"},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"cut\xC3", "cut" + kReplacement},
        {"\xC0\xAF", kReplacement + kReplacement},                     // overlong "/"
        {"\xED\xA0\x80", kReplacement + kReplacement + kReplacement},  // surrogate
        {"\xF4\x90\x80\x80", kReplacement + kReplacement + kReplacement + kReplacement},
        {"a\x80"
         "b",
         "a" + kReplacement + "b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SanitizeUtf8(c.in), c.out) << c.in;
}

TEST(LineBreakerTest, BreaksAtSpacesLineEndsAndInsideOverlongWords) {
    // One unit per character, so widths read as character counts.
    TextMeasure characters = [](const std::string& text) {
        double count = 0;
        for (unsigned char c : text)
            count += (c & 0xC0) != 0x80;
        return count;
    };
    struct Case {
        const char* text;
        double width;
        std::vector<std::string> lines;
    } cases[] = {
        {"", 10, {""}},
        {"short", 10, {"short"}},
        {"one two three", 7, {"one two", "three"}},
        {"one two three", 3, {"one", "two", "thr", "ee"}},
        {"abcdefgh", 3, {"abc", "def", "gh"}},
        {"a\rb\nc\r\nd", 10, {"a", "b", "c", "d"}},
        {"a\xE2\x80\xA9"
         "b",
         10,
         {"a", "b"}},
        {"x\n\ny", 10, {"x", "", "y"}},
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 2, {"\xC3\xA9\xC3\xA9", "\xC3\xA9"}},
        {"ab cdefgh", 4, {"ab", "cdef", "gh"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(BreakLines(c.text, c.width, characters), c.lines);
    }
}

}  // namespace
}  // namespace glyphoria::testing::shop
