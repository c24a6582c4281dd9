#include "support/messages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/message_ui.h"
#include "platform/system_error.h"
#include "support/string_table.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

// Records every box and answers with a scripted result.
class MessagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(LoadStringsFromText("<root><yes>Ja</yes><no>Nein</no><ok>OK</ok>"
                                      "<cancel>Abbrechen</cancel><hello>Hallo %s!</hello>"
                                      "<copyright>Marken.</copyright></root>"),
                  0);
        SetMessageBoxHook([this](const ShownMessage& box) {
            boxes.push_back(box);
            return answer;
        });
    }
    void TearDown() override {
        SetMessageBoxHook(MessageBoxHook());
        platform::SetSystemErrorTextSource(nullptr);
        UnloadStrings();
    }

    std::vector<ShownMessage> boxes;
    int answer = 1;
};

TEST_F(MessagesTest, EachKindShowsItsButtons) {
    struct Case {
        const char* name;
        int (*show)(const char* key, ...);
        std::vector<std::string> keys;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"ShowMessage", ShowMessage, {"ok", "", ""}, {"OK", "", ""}},
        {"AskYesNo", AskYesNo, {"yes", "no", ""}, {"Ja", "Nein", ""}},
        {"AskYesNoCancel", AskYesNoCancel, {"yes", "no", "cancel"}, {"Ja", "Nein", "Abbrechen"}},
        {"AskOkCancel", AskOkCancel, {"ok", "cancel", ""}, {"OK", "Abbrechen", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        c.show("hello", "Welt");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Hallo Welt!");
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(boxes[0].button_keys[i], c.keys[i]);
            EXPECT_EQ(boxes[0].button_texts[i], c.texts[i]);
        }
    }
}

TEST_F(MessagesTest, ResultsAreTheBoxsButtonsOrClose) {
    struct Case {
        const char* name;
        int (*show)(const char* key, ...);
        int answer;
        int expected;
    };
    const Case cases[] = {
        {"ok", ShowMessage, 1, 1},
        {"ok closed", ShowMessage, 2, 2},
        {"ok with a foreign answer", ShowMessage, 3, 2},
        {"yes", AskYesNo, 1, 1},
        {"no", AskYesNo, 2, 2},
        {"yes/no has no third button", AskYesNo, 3, 2},
        {"cancel of three", AskYesNoCancel, 3, 3},
        {"ok/cancel cancelled", AskOkCancel, 2, 2},
        {"nonsense", AskOkCancel, -7, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        answer = c.answer;
        EXPECT_EQ(c.show("question"), c.expected);
    }
}

TEST_F(MessagesTest, MissingKeyShowsAsFormat) {
    ShowMessage("%s has %d fonts", "Cart", 3);
    ShowMessage("noInternet");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Cart has 3 fonts");
    EXPECT_EQ(boxes[1].text, "noInternet");
}

TEST_F(MessagesTest, PendingTextsAreConsumedByOneBox) {
    SetMessageDetail("copyright");
    ShowMessage("hello", "Glyphoria");
    ShowMessage("hello", "again");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].detail, "Marken.");
    EXPECT_EQ(boxes[1].detail, "");

    // A main text set on its own is shown by a box without a key, once.
    SetMessageText("hello", "pending");
    ShowMessage(nullptr);
    ShowMessage(nullptr);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[2].text, "Hallo pending!");
    EXPECT_EQ(boxes[3].text, "");

    // A key replaces the pending main text; the latest detail wins.
    SetMessageText("hello", "replaced");
    SetMessageDetail("first");
    SetMessageDetail("second");
    AskYesNo("hello", "key");
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[4].text, "Hallo key!");
    EXPECT_EQ(boxes[4].detail, "second");

    SetMessageDetail("dropped");
    SetMessageDetail(nullptr);
    ShowMessage("hello", "cleared");
    ASSERT_EQ(boxes.size(), 6u);
    EXPECT_EQ(boxes[5].detail, "");
}

TEST_F(MessagesTest, NestedBoxDoesNotSeeTheOuterTexts) {
    SetMessageBoxHook([this](const ShownMessage& box) {
        boxes.push_back(box);
        if (boxes.size() == 1) ShowMessage("inner");
        return 1;
    });
    SetMessageDetail("outer detail");
    ShowMessage("outer");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].detail, "outer detail");
    EXPECT_EQ(boxes[1].text, "inner");
    EXPECT_EQ(boxes[1].detail, "");
}

TEST_F(MessagesTest, SystemErrorTextIsShownNotFormatted) {
    platform::SetSystemErrorTextSource(
        [](int code) { return std::string("bad %s%n%d ") + std::to_string(code); });
    EXPECT_EQ(ShowSystemError(13), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "bad %s%n%d 13");
    EXPECT_EQ(boxes[0].button_keys[0], "ok");

    // Code 0 stands for the last error.
    glyphoria::testing::SetLastSystemError(28);
    ShowSystemError(0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "bad %s%n%d 28");

    platform::SetSystemErrorTextSource([](int) { return std::string(600, 'e') + "\xE2\x80\xA6"; });
    ShowSystemError(1);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].text, std::string(511, 'e'));
}

TEST_F(MessagesTest, SystemErrorUsesTheSystemsWords) {
    ShowSystemError(ENOENT);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No such file or directory");
}

// The platform's own box (the Windows test programs show the dialog
// toolkit's, which waits for a user, so it is set aside for this one).
TEST_F(MessagesTest, ConsoleBoxAnswersWithTheFirstButton) {
    SetMessageBoxHook(MessageBoxHook());
    const platform::MessageBoxForm shown_form = platform::SetMessageBoxForm(nullptr);
    ::testing::internal::CaptureStderr();
    SetMessageDetail("copyright");
    int result = AskOkCancel("hello", "100%s");
    std::string printed = ::testing::internal::GetCapturedStderr();
    platform::SetMessageBoxForm(shown_form);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(printed, "Glyphoria: Hallo 100%s!\n\nMarken.\n");
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace glyphoria
