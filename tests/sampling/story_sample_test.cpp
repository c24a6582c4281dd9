// What a label keeps of a story: at most 256 characters before the end
// marker, as UTF-8 of at most 255 bytes cut only between characters.
#include "sampling/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

namespace glyphoria {
namespace {

template <typename S>
S Repeat(const S& s, int n) {
    S out;
    while (n-- > 0)
        out += s;
    return out;
}

TEST(StorySample, TakesWholeCharactersBeforeTheEndMarker) {
    const std::u16string clef = u"\U0001D11E";  // a surrogate pair, 4 bytes of UTF-8
    const std::string clef8 = "\xF0\x9D\x84\x9E";
    struct Case {
        const char* name;
        std::u16string units;
        std::int32_t length;  // with the end marker
        std::string expected;
        bool whole;  // the sample is all of the text before the end marker
    } cases[] = {
        {"empty story", u"\r", 1, "", true},
        {"end marker is not taken", u"Hi\r", 3, "Hi", true},
        {"length bounds the units", u"Hello", 3, "He", true},
        {"fewer units than the length", u"Hi", 40, "Hi", false},
        {"255 characters fit whole", Repeat<std::u16string>(u"a", 255), 256,
         Repeat<std::string>("a", 255), true},
        {"256 characters need 256 bytes", Repeat<std::u16string>(u"a", 256), 257,
         Repeat<std::string>("a", 255), false},
        {"300 characters keep what fits 255 bytes", Repeat<std::u16string>(u"a", 300), 301,
         Repeat<std::string>("a", 255), false},
        {"two-byte characters", Repeat<std::u16string>(u"\u00E9", 256), 257,
         Repeat<std::string>("\xC3\xA9", 127), false},
        {"three-byte characters fill 255 exactly", Repeat<std::u16string>(u"\u20AC", 85), 86,
         Repeat<std::string>("\xE2\x82\xAC", 85), true},
        {"three-byte characters beyond 255", Repeat<std::u16string>(u"\u20AC", 90), 91,
         Repeat<std::string>("\xE2\x82\xAC", 85), false},
        {"surrogate pairs are one character", Repeat(clef, 3), 7, Repeat(clef8, 3), true},
        {"surrogate pairs are never split", Repeat(clef, 70), 141, Repeat(clef8, 63), false},
        {"unpaired surrogates", std::u16string{u'a', 0xD834, u'b', 0xDD1E}, 5,
         "a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool whole = !c.whole;
        EXPECT_EQ(StorySampleUtf8(c.units.data(), c.units.size(), c.length, &whole), c.expected);
        EXPECT_EQ(c.whole, whole);
    }
}

}  // namespace
}  // namespace glyphoria
