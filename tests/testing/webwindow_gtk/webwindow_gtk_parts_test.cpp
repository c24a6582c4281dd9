// The parts of the real-engine web-window library that need no display:
// texts from the plug-in's code page, the remembered geometry, and the names
// of the engine's downloads.
#include <glib.h>
#include <gtest/gtest.h>

#include "testing/webwindow_gtk/download_names.h"
#include "testing/webwindow_gtk/page_texts.h"
#include "testing/webwindow_gtk/window_geometry.h"
#include "tests/common/test_env.h"

namespace glyphoria::testing::webwindow_gtk {
namespace {

TEST(WebWindowGtkParts, PluginTextsBecomeUtf8AndTitles) {
    struct Case {
        std::string bytes, utf8;
    } texts[] = {
        {"plain", "plain"},
        {"Schlie\xC3\x9F"
         "en",
         "Schlie\xC3\x9F"
         "en"},  // already UTF-8
        {"Schlie\xDF"
         "en",
         "Schlie\xC3\x9F"
         "en"},  // Windows-1252
        {"\x80 \x85 \x9F", "\xE2\x82\xAC \xE2\x80\xA6 \xC5\xB8"},
        {"a\x81z", "a\xEF\xBF\xBDz"},  // undefined in the code page
    };
    for (const Case& c : texts)
        EXPECT_EQ(Utf8FromAnsi(c.bytes), c.utf8) << c.bytes;

    struct Title {
        std::string first, second, title;
    } titles[] = {
        {"Glyphoria\xE2\x80\xA6", "glyphoria1", "Glyphoria"},
        {"glyphoria", "Glyphoria\xE2\x80\xA6", "Glyphoria"},
        {"glyphoria", "glyphoria1", "Glyphoria"},
        {"", "", "Glyphoria"},
        {"Muster ...", "", "Muster"},
        {"\xE2\x80\xA6", "Zweiter", "Zweiter"},
    };
    for (const Title& t : titles)
        EXPECT_EQ(TitleFromAnswers(t.first, t.second), t.title) << t.first << " | " << t.second;
}

TEST(WebWindowGtkParts, GeometryIsFourSaneIntegers) {
    struct Case {
        const char* text;
        bool valid;
        WindowRect rect;
    } cases[] = {
        {"10 20 640 480", true, {10, 20, 640, 480}},
        {" -30 -40 200 16000 ", true, {-30, -40, 200, 16000}},
        {"10 20 199 480", false, {}},
        {"10 20 640 16001", false, {}},
        {"16001 0 640 480", false, {}},
        {"10 20 640", false, {}},
        {"10 20 640 480 5", false, {}},
        {"10,20,640,480", false, {}},
        {"10 20 640 480x", false, {}},
        {"99999999999 0 640 480", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::optional<WindowRect> rect = ParseRect(c.text);
        ASSERT_EQ(rect.has_value(), c.valid);
        if (!c.valid) continue;
        EXPECT_EQ(FormatRect(*rect), FormatRect(c.rect));
        EXPECT_EQ(ParseRect(FormatRect(*rect))->width, c.rect.width);
    }
}

TEST(WebWindowGtkParts, DownloadNamesStayPlainAndNeverReplaceAFile) {
    std::string long_stem(300, 'a');
    std::string replaced(150, 'x');
    for (int i = 0; i < 15; ++i)
        replaced += "\xEF\xBF\xBD";
    struct Case {
        std::string suggested, name;
    } cases[] = {
        {"Fonts.zip", "Fonts.zip"},
        {"../evil.zip", "evil.zip"},
        {"/tmp/evil.zip", "evil.zip"},
        {"C:\\x.zip", "x.zip"},
        {"C:x.zip", "C_x.zip"},
        {"bad\x01name\x1b\x7f.zip", "bad_name__.zip"},
        {"..", "download"},
        {"", "download"},
        {long_stem + ".zip", std::string(kMaxNameBytes - 4, 'a') + ".zip"},
        // Bytes that are no UTF-8 become U+FFFD (3 bytes each) before the cut.
        {std::string(150, 'x') + std::string(200, '\xC3') + ".zip", replaced + ".zip"},
    };
    for (const Case& c : cases) {
        std::string name = SafeDownloadName(c.suggested);
        EXPECT_EQ(name, c.name) << c.suggested;
        EXPECT_LE(name.size(), kMaxNameBytes);
        EXPECT_TRUE(g_utf8_validate(name.data(), static_cast<gssize>(name.size()), nullptr));
    }
    std::string umlauts;
    for (int i = 0; i < 150; ++i)
        umlauts += "\xC3\xBC";
    std::string cut = SafeDownloadName(umlauts + ".zip");
    EXPECT_EQ(cut.size(), kMaxNameBytes);
    EXPECT_EQ(cut.substr(cut.size() - 4), ".zip");

    TempDir folder;
    EXPECT_EQ(UniqueDownloadPath(folder.path(), "Fonts.zip"), folder.path() + "/Fonts.zip");
    ASSERT_TRUE(WriteFileBytes(folder.path() + "/Fonts.zip", "1"));
    ASSERT_TRUE(WriteFileBytes(folder.path() + "/Fonts (1).zip", "2"));
    EXPECT_EQ(UniqueDownloadPath(folder.path(), "Fonts.zip"), folder.path() + "/Fonts (2).zip");
    ASSERT_TRUE(WriteFileBytes(folder.path() + "/README", "3"));
    EXPECT_EQ(UniqueDownloadPath(folder.path(), "README"), folder.path() + "/README (1)");
}

}  // namespace
}  // namespace glyphoria::testing::webwindow_gtk
