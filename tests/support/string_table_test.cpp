#include "support/string_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "support/text_convert.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

using testing::ScopedLanguage;

std::string Text(const char* key) {
    char dest[256];
    std::memset(dest, '#', sizeof dest);
    GetLocalizedText(key, dest, sizeof dest);
    return dest;
}

std::string Wide(const char* key) {
    char16_t* wide = GetLocalizedWide(key);
    if (!wide) return "<null>";
    std::string utf8 = Utf16ToUtf8(wide);
    std::free(wide);
    return utf8;
}

std::string Format(const char* key, ...) {
    std::va_list args;
    va_start(args, key);
    char16_t* wide = FormatLocalizedV(key, args);
    va_end(args);
    if (!wide) return "<null>";
    std::string utf8 = Utf16ToUtf8(wide);
    std::free(wide);
    return utf8;
}

class StringTableTest : public ::testing::Test {
  protected:
    void TearDown() override {
        UnloadStrings();
        SetLanguageCode(0);
    }
};

TEST_F(StringTableTest, LoadsTheTableOfTheInterfaceLanguage) {
    struct Case {
        unsigned short language;
        const char* yes;
        const char* noselection;
        const char* invalid_dll;
        const char* product;  // "glyphoria" in German, "glyphoria1" in English
        const char* close;
    };
    const Case german = {
        platform::kLangGerman,
        "Ja",
        "Zum Testen einer Schrift bitte einen oder mehrere Textrahmen ausw\xC3\xA4hlen!",
        "Falsche Version der Glyphoria.dll!",
        "glyphoria",
        "Schlie\xC3\x9F"
        "en"};
    const Case english = {platform::kLangEnglishUS,
                          "Yes",
                          "Please select one or more text frames first!",
                          "invalidDLL",
                          "glyphoria1",
                          "Close"};
    // French has no table: the fallback's texts.
    Case french = testing::FallbackLanguage() == platform::kLangGerman ? german : english;
    french.language = 1036;
    for (const Case& c : {german, english, french}) {
        SCOPED_TRACE(c.language);
        ScopedLanguage language(c.language);
        ASSERT_EQ(LoadStrings(), 0);
        EXPECT_EQ(Text("yes"), c.yes);
        EXPECT_EQ(Text("noselection"), c.noselection);
        EXPECT_EQ(Text("invalidDLL"), c.invalid_dll);
        EXPECT_EQ(Text(c.product), "Glyphoria\xE2\x80\xA6");
        EXPECT_EQ(Text("CLOSE"), c.close);
    }
}

TEST_F(StringTableTest, LookupsWithoutATableReturnTheKey) {
    UnloadStrings();
    EXPECT_EQ(Text("noselection"), "noselection");
    EXPECT_EQ(Wide("noselection"), "noselection");
    EXPECT_EQ(Format("%s %s", "Glyphoria", "1.28"), "Glyphoria 1.28");
    EXPECT_EQ(LoadStringsFromText(nullptr), -1);
    EXPECT_EQ(Text("yes"), "yes");
}

TEST_F(StringTableTest, LookupRules) {
    ASSERT_EQ(LoadStringsFromText("<root><noInternet>offline</noInternet><empty></empty>"
                                  "<amp>Fonts &amp; more</amp><ml>a\nb</ml>"
                                  "<utf>Schlie\xC3\x9F"
                                  "en</utf></root>"),
              0);
    struct Case {
        std::string key;
        std::string text;  // GetLocalizedText
        std::string wide;  // GetLocalizedWide
    };
    const Case cases[] = {
        {"noInternet", "offline", "offline"},
        {"NOINTERNET", "offline", "offline"},
        {"missing", "missing", "missing"},
        {"empty", "empty", ""},  // an empty entry shows its key, except as wide text
        {"amp", "Fonts &amp; more", "Fonts &amp; more"},
        {"ml", "a\nb", "a\nb"},
        {"utf",
         "Schlie\xC3\x9F"
         "en",
         "Schlie\xC3\x9F"
         "en"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(Text(c.key.c_str()), c.text);
        EXPECT_EQ(Wide(c.key.c_str()), c.wide);
    }
    EXPECT_EQ(Wide(nullptr), "<null>");
    EXPECT_EQ(Text(nullptr), "");
}

TEST_F(StringTableTest, KeysOver64BytesAreNeverFound) {
    const std::string key64(64, 'k');
    const std::string key65(65, 'k');
    const std::string table =
        "<root><" + key64 + ">found64</" + key64 + "><" + key65 + ">found65</" + key65 + "></root>";
    ASSERT_EQ(LoadStringsFromText(table.c_str()), 0);
    EXPECT_EQ(Text(key64.c_str()), "found64");
    EXPECT_EQ(Text(key65.c_str()), key65);
}

TEST_F(StringTableTest, LongTextsAreCutOnACharacterBoundary) {
    // 254 ASCII bytes and then "ä" (2 bytes): 256 bytes do not fit in 255.
    const std::string value = std::string(254, 'a') + "\xC3\xA4" + "tail";
    const std::string table = "<root><long>" + value + "</long></root>";
    ASSERT_EQ(LoadStringsFromText(table.c_str()), 0);

    char dest[256 + 8];
    std::memset(dest, '#', sizeof dest);
    GetLocalizedText("long", dest, 256);
    EXPECT_EQ(std::string(dest), std::string(254, 'a'));
    for (std::size_t i = 256; i < sizeof dest; ++i)
        EXPECT_EQ(dest[i], '#') << i;

    char small[4];
    GetLocalizedText("long", small, sizeof small);
    EXPECT_STREQ(small, "aaa");
    EXPECT_EQ(Wide("long"), std::string(254, 'a'));

    // A missing key that is too long is cut the same way.
    const std::string key = std::string(300, 'x');
    EXPECT_EQ(Text(key.c_str()), std::string(255, 'x'));
}

TEST_F(StringTableTest, FormatsTheKeysTextOrTheKeyItself) {
    ASSERT_EQ(LoadStringsFromText("<root><about>%s %s</about><fontInstalledErr>Die Schrift '%s' "
                                  "ist bereits installiert!</fontInstalledErr><n>%d/%d</n>"
                                  "<empty></empty></root>"),
              0);
    struct Case {
        const char* name;
        std::string result;
        std::string expected;
    };
    const Case cases[] = {
        {"entry", Format("about", "Glyphoria", "1.28"), "Glyphoria 1.28"},
        {"entry with one argument", Format("fontInstalledErr", "Corda"),
         "Die Schrift 'Corda' ist bereits installiert!"},
        {"numbers", Format("N", 3, 4), "3/4"},
        {"format as key", Format("%s %s", "a", "b"), "a b"},
        {"empty entry uses the key", Format("empty"), "empty"},
        {"no arguments", Format("plain text"), "plain text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, c.expected);
    }
    EXPECT_EQ(FormatLocalized(nullptr), nullptr);
}

TEST_F(StringTableTest, FormattedTextIsCutBelow512BytesOnACharacterBoundary) {
    UnloadStrings();
    // 510 bytes and then a three-byte "…": the cut falls inside it.
    const std::string argument = std::string(510, 'm') + "\xE2\x80\xA6" + "end";
    EXPECT_EQ(Format("%s", argument.c_str()), std::string(510, 'm'));
    const std::string exact = std::string(511, 'm') + "more";
    EXPECT_EQ(Format("%s", exact.c_str()), std::string(511, 'm'));

    char dest[16 + 4];
    std::memset(dest, '#', sizeof dest);
    FormatLocalizedUtf8(dest, 16, "%s", "0123456789abcde\xC3\xA4");
    EXPECT_STREQ(dest, "0123456789abcde");
    for (std::size_t i = 16; i < sizeof dest; ++i)
        EXPECT_EQ(dest[i], '#') << i;
    FormatLocalizedUtf8(dest, 16, "%s", "0123456789abcd\xC3\xA4");
    EXPECT_STREQ(dest, "0123456789abcd");
    FormatLocalizedUtf8(dest, 16, nullptr);
    EXPECT_STREQ(dest, "");
}

// The keys of a table resource: one element per line, "<key>text</key>".
std::vector<std::string> KeysOf(unsigned short language) {
    platform::ResourceBytes bytes;
    EXPECT_TRUE(platform::FindModuleResourceLanguage("MyStrings", "xml", language, &bytes));
    std::istringstream lines(std::string(reinterpret_cast<const char*>(bytes.data), bytes.size));
    std::vector<std::string> keys;
    for (std::string line; std::getline(lines, line);) {
        if (line.size() < 3 || line[0] != '<' || line[1] == '?' || line[1] == '/') continue;
        std::string key = line.substr(1, line.find('>') - 1);
        if (key != "root") keys.push_back(key);
    }
    return keys;
}

TEST_F(StringTableTest, EveryKeyOfBothTablesResolves) {
    for (unsigned short language : {platform::kLangGerman, platform::kLangEnglishUS}) {
        SCOPED_TRACE(language);
        std::vector<std::string> keys = KeysOf(language);
        // German has "invalidDLL" more than English.
        EXPECT_EQ(keys.size(), language == platform::kLangGerman ? 36u : 35u);
        ScopedLanguage interface_language(language);
        ASSERT_EQ(LoadStrings(), 0);
        for (const std::string& key : keys) {
            SCOPED_TRACE(key);
            std::string text = Text(key.c_str());
            EXPECT_FALSE(text.empty());
            EXPECT_NE(text, key);
            EXPECT_EQ(Wide(key.c_str()), text);
        }
    }
}

}  // namespace
}  // namespace glyphoria
