#include "mac/mac_strings.h"

#include <gtest/gtest.h>

#include "mac/headless/headless_window.h"
#include "mac/mac_folders.h"
#include "tests/mac/mac_test_env.h"

namespace glyphoria::mac {
namespace {

std::string Table(const std::string& value) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root><which>" + value +
           "</which></root>\n";
}

class MacStringsTest : public MacTest {
  protected:
    void TearDown() override {
        SetBundleResourcesFolder("");
        LoadMacStrings(0);
        MacTest::TearDown();
    }
};

TEST_F(MacStringsTest, LanguageCodePicksTheFileWithFallbacks) {
    struct Case {
        const char* name;
        std::vector<const char*> files;  // present in the bundle
        int code;
        const char* which;  // null: no table
    } cases[] = {
        {"German", {"MyStrings_D", "MyStrings_E", "MyStrings"}, 3, "D"},
        {"French", {"MyStrings_F", "MyStrings_E"}, 1, "F"},
        {"English by default", {"MyStrings_D", "MyStrings_E"}, 0, "E"},
        {"Dutch is English here", {"MyStrings_D", "MyStrings_E"}, 5, "E"},
        {"French missing: the plain file", {"MyStrings_E", "MyStrings"}, 1, "plain"},
        {"not the English file as fallback", {"MyStrings_E"}, 3, nullptr},
        {"nothing at all", {}, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir bundle;
        for (const char* file : c.files) {
            std::string name = file;
            std::string which = name == "MyStrings" ? "plain" : name.substr(name.size() - 1);
            testing::WriteFileBytes(bundle.file(name + ".xml"), Table(which));
        }
        SetBundleResourcesFolder(bundle.path());
        mac_.alerts.clear();
        LoadMacStringsFromText(Table("previous"));
        EXPECT_EQ(c.which ? 0 : -1, LoadMacStrings(c.code));
        EXPECT_EQ(c.which ? c.which : "which", MacLocalized("which"));
        if (c.which) {
            EXPECT_TRUE(mac_.alerts.shown().empty());
        } else {
            EXPECT_EQ(std::vector<std::string>{"\tGlyphoria: gStrings = NULL!"}, AlertMessages());
        }
    }
}

TEST_F(MacStringsTest, ShippedTablesHoldTheTexts) {
    struct Case {
        int code;
        const char* key;
        const char* text;
    } cases[] = {
        {3, "noInternet", "Es scheint keine Verbindung zum Internet zu bestehen!"},
        {3, "close", "Schließen"},
        {0, "noInternet", "There seems to be no connection to the internet!"},
        {0, "invalidPath", "Invalid Path"},
        {0, "prompt", "Choose Download Folder"},
        {0, "invalidDLL", "invalidDLL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_EQ(0, LoadMacStrings(c.code));
        EXPECT_EQ(c.text, MacLocalized(c.key));
    }
}

TEST_F(MacStringsTest, LookupIsExactAndDecoded) {
    ASSERT_EQ(0, LoadMacStringsFromText("<root><noInternet>offline</noInternet><amp>a &amp; b</amp>"
                                        "<nested>x<b>y</b>z</nested><empty/><!-- note --></root>"));
    struct Case {
        const char* key;
        const char* text;
    } cases[] = {
        {"noInternet", "offline"},
        {"NOINTERNET", "NOINTERNET"},
        {"nointernet", "nointernet"},
        {"amp", "a & b"},
        {"nested", "xyz"},
        {"empty", ""},
        {"%s %s", "%s %s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(c.text, MacLocalized(c.key));
    }
    char small[6];
    LoadMacStringsFromText("<root><k>Schließen</k></root>");
    GetMacLocalized("k", small, sizeof small);
    EXPECT_STREQ("Schli", small);  // cut before the two-byte ß, never inside it
}

TEST_F(MacStringsTest, WindowLocalisationReachesEveryText) {
    ASSERT_EQ(0, LoadMacStringsFromText(
                     "<root><title>Title</title><box>Box</box><button>Button</button>"
                     "<field>Field</field><item>Item</item><sub>Sub</sub><tab>Tab</tab>"
                     "<inTab>In tab</inTab><column>Column</column><scrolled>Scrolled</scrolled>"
                     "<check>Check</check><web>Web</web></root>"));
    HeadlessWindow window("title");
    ViewNode& root = window.contentView();
    auto add = [](ViewNode& parent, ViewKind kind, const char* id, const char* text) -> ViewNode& {
        return parent.Add(std::make_unique<ViewNode>(kind, id, text));
    };
    ViewNode& box = add(root, ViewKind::kBox, "box", "box");
    add(box, ViewKind::kButton, "button", "button");
    add(box, ViewKind::kTextField, "field", "field");
    add(box, ViewKind::kTextField, "emptyField", "");
    add(box, ViewKind::kTextField, "unknown", "not a key");
    ViewNode& popup = add(root, ViewKind::kPopUpButton, "popup", "");
    ViewNode& item = add(popup, ViewKind::kMenuItem, "item", "item");
    add(item, ViewKind::kMenuItem, "sub", "sub");
    ViewNode& tabs = add(root, ViewKind::kTabView, "tabs", "");
    ViewNode& tab = add(tabs, ViewKind::kTabItem, "tab", "tab");
    add(tab, ViewKind::kButton, "inTab", "inTab");
    ViewNode& table = add(root, ViewKind::kTableView, "table", "");
    add(table, ViewKind::kTableColumn, "column", "column");
    ViewNode& scroll = add(root, ViewKind::kScrollView, "scroll", "");
    ViewNode& inner = add(scroll, ViewKind::kView, "inner", "");
    add(inner, ViewKind::kCheckBox, "check", "scrolled");
    add(root, ViewKind::kWebView, "web", "web");

    LocalizeWindow(window);
    EXPECT_EQ("Title", window.title());
    struct Case {
        const char* id;
        const char* text;
    } cases[] = {
        {"box", "Box"},           {"button", "Button"}, {"field", "Field"},    {"emptyField", ""},
        {"unknown", "not a key"}, {"item", "Item"},     {"sub", "Sub"},        {"tab", "Tab"},
        {"inTab", "In tab"},      {"column", "Column"}, {"check", "Scrolled"}, {"web", "web"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.text, root.Find(c.id)->text);
    }
}

}  // namespace
}  // namespace glyphoria::mac
