#include "mac/mac_alerts.h"

#include <gtest/gtest.h>

#include "mac/mac_strings.h"
#include "tests/mac/mac_test_env.h"

namespace glyphoria::mac {
namespace {

class MacAlertsTest : public MacTest {
  protected:
    void SetUp() override {
        MacTest::SetUp();
        LoadMacStringsFromText(
            "<root><fontInstalledErr>The font '%s' is already installed!</fontInstalledErr>"
            "<copyright>(c) notice</copyright><invalidPath>Invalid Path</invalidPath></root>");
    }
    void TearDown() override {
        LoadMacStrings(0);
        MacTest::TearDown();
    }
    const HeadlessAlertPanel::Shown& Last() const { return mac_.alerts.shown().back(); }
};

TEST_F(MacAlertsTest, MessagesAreLookedUpAndFormatted) {
    ShowMessage("fontInstalledErr", "A.otf");
    EXPECT_EQ("The font 'A.otf' is already installed!", Last().message);
    EXPECT_EQ("", Last().informative);
    ShowMessage("%s %s", "Glyphoria", "1.28");
    EXPECT_EQ("Glyphoria 1.28", Last().message);
    ShowMessage("noSuchKey");
    EXPECT_EQ("noSuchKey", Last().message);
    EXPECT_EQ(3, mac_.application.activations());
}

TEST_F(MacAlertsTest, PendingDetailBelongsToTheNextAlertOnly) {
    struct Case {
        const char* name;
        boost::function<void()> set;
        boost::function<void()> show;
        const char* informative;
    } cases[] = {
        {"detail by key", [] { SetMessageDetail("copyright"); }, [] { ShowMessage("x"); },
         "(c) notice"},
        {"detail as text", [] { SetMessageDetailText("/path/100%s"); },
         [] { ShowMessage("invalidPath"); }, "/path/100%s"},
        {"before an alert text", [] { SetMessageDetailText("d"); }, [] { ShowAlertText("t"); },
         "d"},
        {"before an error", [] { SetMessageDetailText("d"); },
         [] {
             ShowError({"D", 1, "e"});
         },
         "d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        c.show();
        EXPECT_EQ(c.informative, Last().informative);
        EXPECT_EQ("", PendingMessageDetail());
        ShowMessage("next");
        EXPECT_EQ("", Last().informative);
    }
}

TEST_F(MacAlertsTest, OutsideTextsAreShownAsTheyAre) {
    const char* texts[] = {"50% done", "%s%s%s%n", "%d items", "100%"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        ShowAlertText(text);
        EXPECT_EQ(text, Last().message);
        ShowError({"NSURLErrorDomain", -1009, text});
        EXPECT_EQ(text, Last().message);
    }
    EXPECT_TRUE(Logged("error: NSURLErrorDomain -1009: %s%s%s%n"));
}

TEST_F(MacAlertsTest, LongMessagesAreCutOnACharacterBoundary) {
    LoadMacStringsFromText("<root><long>%s</long></root>");
    const std::string long_text(509, 'x');
    ShowMessage("long", (long_text + "ßß").c_str());
    EXPECT_EQ(long_text + "\xC3\x9F", Last().message);  // 511 bytes, the second ß left out
}

}  // namespace
}  // namespace glyphoria::mac
