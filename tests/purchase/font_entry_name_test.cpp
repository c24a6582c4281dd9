#include "purchase/font_entry_name.h"

#include <gtest/gtest.h>

#include <string>

namespace glyphoria {
namespace {

using namespace std::string_literals;

TEST(FontEntryName, Utf8IsValidatedStrictly) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"Regular.otf", true},
        {"Caf\xC3\xA9.otf", true},
        {"\xE2\x82\xAC.otf", true},       // euro sign
        {"\xF0\x9F\x98\x80.otf", true},   // U+1F600
        {"Caf\x82.otf", false},           // code page 437 e acute
        {"\xC3", false},                  // cut short
        {"\xC0\xAF.otf", false},          // overlong "/"
        {"\xE0\x80\xAF.otf", false},      // overlong "/"
        {"\xED\xA0\x80.otf", false},      // surrogate
        {"\xF4\x90\x80\x80.otf", false},  // above U+10FFFF
        {"\xF8\x88\x80\x80\x80", false},  // five-byte form
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(IsValidUtf8(c.bytes.data(), c.bytes.size()), c.valid);
    }
}

TEST(FontEntryName, DecodesUtf8ElseCodePage437) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"Fonts/Caf\xC3\xA9.otf", "Fonts/Caf\xC3\xA9.otf"},
        {"Caf\x82.otf", "Caf\xC3\xA9.otf"},                    // 0x82 is e acute
        {"\x8E\x99\x9A.otf", "\xC3\x84\xC3\x96\xC3\x9C.otf"},  // A, O, U umlaut
        {"\xE1t.otf", "\xC3\x9Ft.otf"},                        // sharp s
        // A NUL survives decoding so that it can be refused, not hide the rest.
        {"a\x82\0.exe"s, "a\xC3\xA9\0.exe"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(DecodeEntryName(c.bytes.data(), c.bytes.size()), c.text);
    }
}

TEST(FontEntryName, OnlyTheLastComponentOfEitherSeparatorCounts) {
    struct Case {
        std::string name;
        std::string file;
    };
    const Case cases[] = {
        {"Regular.otf", "Regular.otf"},
        {"Fonts/Family/Regular.otf", "Regular.otf"},
        {"Fonts\\Regular.otf", "Regular.otf"},
        {"../../.config/autostart/x.otf", "x.otf"},
        {"..\\..\\x.otf", "x.otf"},
        {"/etc/x.otf", "x.otf"},
        {"Fonts/", ""},
        {"Fonts\\", ""},
        {"..", ".."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LastPathComponent(c.name), c.file);
    }
}

TEST(FontEntryName, OnlyLowerCaseOtfWithASafeNameIsAFont) {
    struct Case {
        std::string file;
        FontNameCheck check;
    };
    const Case cases[] = {
        {"Regular.otf", FontNameCheck::kFont},
        {"My Font-Bold Italic.otf", FontNameCheck::kFont},
        {"Caf\xC3\xA9.otf", FontNameCheck::kFont},
        {".hidden.otf", FontNameCheck::kFont},
        {"Regular.OTF", FontNameCheck::kNotOpenType},
        {"Regular.Otf", FontNameCheck::kNotOpenType},
        {"Regular.ttf", FontNameCheck::kNotOpenType},
        {"Regular.otf.zip", FontNameCheck::kNotOpenType},
        {"Regular.otf ", FontNameCheck::kNotOpenType},
        {"otf", FontNameCheck::kNotOpenType},
        {"", FontNameCheck::kNotOpenType},
        {".", FontNameCheck::kNotOpenType},
        {"..", FontNameCheck::kNotOpenType},
        {".otf", FontNameCheck::kUnsafe},
        {"..otf", FontNameCheck::kUnsafe},
        {"...otf", FontNameCheck::kUnsafe},
        {"a\0b.otf"s, FontNameCheck::kUnsafe},
        {"a\nb.otf", FontNameCheck::kUnsafe},
        {"a\x1b[31m.otf", FontNameCheck::kUnsafe},
        {"a\x7F.otf", FontNameCheck::kUnsafe},
        {"a\xC2\x85.otf", FontNameCheck::kUnsafe},  // NEL, a C1 control
        {"C:x.otf", FontNameCheck::kUnsafe},
        {"x.otf:stream.otf", FontNameCheck::kUnsafe},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(CheckFontFileName(c.file), c.check);
    }
}

}  // namespace
}  // namespace glyphoria
