// The system's message box: which box the button keys choose, what it says,
// and which result each of its buttons gives. Another thread plays the user
// and presses a button of the box once it appears.
#include "platform/message_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {
namespace {

struct Seen {
    bool found = false;
    std::wstring text;
    bool has[8] = {};  // IDOK .. IDNO
};

// The dialog window that thread shows, if any. Only the thread's own
// windows: test programs run in parallel, each with boxes of the same title.
HWND DialogOfThread(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t name[16] = L"";
            GetClassNameW(window, name, 16);
            if (std::wstring(name) != L"#32770") return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Waits up to 5 s for the thread's box, notes its text and buttons, then
// presses one.
Seen PressWhenShown(DWORD thread, int button) {
    Seen seen;
    for (int i = 0; i < 500 && !seen.found; ++i) {
        // Shown only once its text and buttons are in place.
        HWND box = DialogOfThread(thread);
        if (!box || !IsWindowVisible(box)) {
            Sleep(10);
            continue;
        }
        seen.found = true;
        wchar_t text[256] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 256);  // the box's static text
        seen.text = text;
        for (int id = IDOK; id <= IDNO; ++id)
            seen.has[id] = GetDlgItem(box, id) != nullptr;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    return seen;
}

MessageBoxContent Box(std::initializer_list<const char*> keys) {
    MessageBoxContent box;
    box.text = "\xC3\x84nderung";
    int i = 0;
    for (const char* key : keys) {
        box.button_keys[i] = key;
        box.buttons[i] = std::string("[") + key + "]";
        ++i;
    }
    return box;
}

TEST(Win32MessageBox, ButtonsAndResults) {
    struct Case {
        MessageBoxContent box;
        int press;
        int result;
        std::initializer_list<int> buttons;
    } cases[] = {
        {Box({"ok"}), IDOK, 1, {IDOK}},
        {Box({"ok", "cancel"}), IDOK, 1, {IDOK, IDCANCEL}},
        {Box({"ok", "cancel"}), IDCANCEL, 2, {IDOK, IDCANCEL}},
        {Box({"yes", "no"}), IDYES, 1, {IDYES, IDNO}},
        {Box({"yes", "no"}), IDNO, 2, {IDYES, IDNO}},
        {Box({"yes", "no", "cancel"}), IDNO, 2, {IDYES, IDNO, IDCANCEL}},
        {Box({"yes", "no", "cancel"}), IDCANCEL, 3, {IDYES, IDNO, IDCANCEL}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box.button_keys[0] + "/" + c.box.button_keys[1] + "/" +
                     c.box.button_keys[2] + " press " + std::to_string(c.press));
        Seen seen;
        const DWORD thread = GetCurrentThreadId();
        std::thread user([&] { seen = PressWhenShown(thread, c.press); });
        int result = PresentMessageBox(c.box);
        user.join();
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(L"\u00C4nderung", seen.text);
        for (int id : c.buttons)
            EXPECT_TRUE(seen.has[id]) << id;
        if (c.box.button_keys[0] == "yes") {
            EXPECT_FALSE(seen.has[IDOK]);
        }
    }
}

TEST(Win32MessageBox, DetailFollowsAfterABlankLine) {
    MessageBoxContent box = Box({"ok"});
    box.detail = "100% sicher";
    Seen seen;
    const DWORD thread = GetCurrentThreadId();
    std::thread user([&] { seen = PressWhenShown(thread, IDOK); });
    EXPECT_EQ(1, PresentMessageBox(box));
    user.join();
    EXPECT_EQ(L"\u00C4nderung\n\n100% sicher", seen.text);
}

}  // namespace
}  // namespace glyphoria::platform
