// The message box on the template "MsgBox", reached through the message
// service as every caller reaches it: texts, detail, growth, buttons by key
// and language, results, the host window.
#include "dialogs/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "dialogs/toolkit.h"
#include "platform/system_error.h"
#include "support/host_window.h"
#include "support/messages.h"
#include "support/string_table.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

using testing::DialogDriver;
using testing::TextOf;

struct Seen {
    std::wstring title, text;
    std::wstring captions[3];
    bool visible[3] = {};
    RECT frame = {}, text_rect = {}, buttons[3] = {};
};

Seen Look(HWND box) {
    Seen seen;
    seen.title = TextOf(box);
    HWND text = GetDlgItem(box, 10);
    seen.text = TextOf(text);
    GetWindowRect(box, &seen.frame);
    seen.text_rect = testing::RectInParent(text);
    for (int i = 0; i < 3; ++i) {
        HWND button = GetDlgItem(box, i + 1);
        seen.captions[i] = TextOf(button);
        seen.visible[i] = IsWindowVisible(button);
        seen.buttons[i] = testing::RectInParent(button);
    }
    return seen;
}

// Shows the box through `show`, looks at it and then does `act` to it.
int Show(const std::function<int()>& show, Seen* seen, const std::function<void(HWND)>& act) {
    DialogDriver driver({[&](HWND box) {
        *seen = Look(box);
        act(box);
    }});
    const int result = show();
    EXPECT_TRUE(driver.done());
    EXPECT_FALSE(driver.timed_out());
    return result;
}

std::function<void(HWND)> Press(int id) {
    return [id](HWND box) { SendMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0); };
}
void CloseBox(HWND box) {
    PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// The template's own size, before any message grows it.
RECT TemplateFrame() {
    HWND box = CreateDialogParamW(
        ToolkitInstance(), L"MsgBox", nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    RECT frame = {};
    GetWindowRect(box, &frame);
    DestroyWindow(box);
    return frame;
}

class MessageBoxTest : public ::testing::Test {
  protected:
    void SetUp() override { LoadStrings(); }
    void TearDown() override { LoadStrings(); }
};

TEST_F(MessageBoxTest, ButtonsFollowTheKindOfQuestion) {
    struct Case {
        const char* kind;
        std::function<int()> show;
        std::vector<std::wstring> captions;  // empty: hidden
    } cases[] = {
        {"ShowMessage", [] { return ShowMessage("Plain %s", "text"); }, {L"OK", L"", L""}},
        {"AskOkCancel", [] { return AskOkCancel("Plain %s", "text"); }, {L"OK", L"Cancel", L""}},
        {"AskYesNo", [] { return AskYesNo("Plain %s", "text"); }, {L"Yes", L"No", L""}},
        {"AskYesNoCancel",
         [] { return AskYesNoCancel("Plain %s", "text"); },
         {L"Yes", L"No", L"Cancel"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        for (int press = 1; press <= 3; ++press) {
            if (c.captions[press - 1].empty()) continue;
            SCOPED_TRACE(press);
            Seen seen;
            EXPECT_EQ(press, Show(c.show, &seen, Press(press)));
            EXPECT_EQ(L"Glyphoria", seen.title);
            EXPECT_EQ(L"Plain text", seen.text);
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(!c.captions[i].empty(), seen.visible[i]) << i;
                if (seen.visible[i]) {
                    EXPECT_EQ(c.captions[i], seen.captions[i]) << i;
                }
            }
        }
        // The title bar's close control answers 2, whatever the question.
        Seen seen;
        EXPECT_EQ(2, Show(c.show, &seen, CloseBox));
        // So does Escape.
        EXPECT_EQ(2, Show(c.show, &seen, [](HWND) { testing::PostKey(VK_ESCAPE); }));
    }
}

TEST_F(MessageBoxTest, ButtonsInGerman) {
    testing::ScopedLanguage german(1031);
    LoadStrings();
    Seen seen;
    EXPECT_EQ(3, Show([] { return AskYesNoCancel("Frage"); }, &seen, Press(3)));
    EXPECT_EQ(L"Ja", seen.captions[0]);
    EXPECT_EQ(L"Nein", seen.captions[1]);
    EXPECT_EQ(L"Abbrechen", seen.captions[2]);
}

TEST_F(MessageBoxTest, DetailFollowsAfterABlankLineAndIsGoneForTheNextBox) {
    const RECT plain = TemplateFrame();
    const int template_height = plain.bottom - plain.top;

    Seen one_line;
    Show([] { return ShowMessage("One line"); }, &one_line, Press(1));
    EXPECT_LE(one_line.frame.bottom - one_line.frame.top, template_height);

    std::string detail;
    for (int i = 0; i < 6; ++i)  // within the 512 bytes of a formatted text
        detail += "A detail that needs several lines of the box to be read in full. ";
    SetMessageDetail("%s", detail.c_str());
    Seen with_detail;
    Show([] { return ShowMessage("Main text"); }, &with_detail, Press(1));
    EXPECT_EQ(L"Main text\r\r" + platform::win32::Widen(detail.c_str()), with_detail.text);
    const int growth = (with_detail.frame.bottom - with_detail.frame.top) - template_height;
    EXPECT_GT(growth, 30);
    // The text grew by as much as the box; the buttons moved below it.
    EXPECT_EQ((with_detail.frame.bottom - with_detail.frame.top) -
                  (one_line.frame.bottom - one_line.frame.top),
              (with_detail.text_rect.bottom - with_detail.text_rect.top) -
                  (one_line.text_rect.bottom - one_line.text_rect.top));
    EXPECT_GE(with_detail.buttons[0].top, with_detail.text_rect.bottom);
    const int width = with_detail.frame.right - with_detail.frame.left;
    const int height = with_detail.frame.bottom - with_detail.frame.top;
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - width) / 2, with_detail.frame.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - height) / 4, with_detail.frame.top);

    Seen next;
    Show([] { return ShowMessage("Next"); }, &next, Press(1));
    EXPECT_EQ(L"Next", next.text);
}

TEST_F(MessageBoxTest, SystemErrorTextIsShownAsText) {
    // Conversions in the system's words are shown, never read as a format
    // ("%n" would write through a pointer nobody passed).
    platform::SetSystemErrorTextSource([](int code) {
        return std::string("Insert %s%n into drive %1 (") + std::to_string(code) + ")";
    });
    Seen seen;
    EXPECT_EQ(1, Show([] { return ShowSystemError(34); }, &seen, Press(1)));
    platform::SetSystemErrorTextSource(nullptr);
    EXPECT_EQ(L"Insert %s%n into drive %1 (34)", seen.text);
    EXPECT_FALSE(seen.visible[1]);
}

TEST_F(MessageBoxTest, HostWindowIsDisabledWhileTheBoxIsUp) {
    HWND host = CreateWindowExW(0, L"Static", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
    SetHostWindowHandle(host);
    bool enabled = true;
    Seen seen;
    Show([] { return ShowMessage("x"); }, &seen,
         [&](HWND box) {
             enabled = IsWindowEnabled(host);
             CloseBox(box);
         });
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(IsWindowEnabled(host));
    SetHostWindowHandle(nullptr);
    DestroyWindow(host);
}

TEST_F(MessageBoxTest, AmpersandsAreShown) {
    Seen seen;
    Show([] { return ShowMessage("Tom & Jerry"); }, &seen, Press(1));
    EXPECT_EQ(L"Tom & Jerry", seen.text);
    HWND box = CreateDialogParamW(
        ToolkitInstance(), L"MsgBox", nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(box, 10), GWL_STYLE) & SS_NOPREFIX);
    DestroyWindow(box);
}

}  // namespace
}  // namespace glyphoria
