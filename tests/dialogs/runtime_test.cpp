// Described dialogs at run time: how they end (Return, Escape, buttons,
// command procedures), the focus ring, the timer, the host window, and the
// control operations by type.
#include "dialogs/dialog_runtime.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "dialogs/controls.h"
#include "dialogs/description.h"
#include "dialogs/focus.h"
#include "dialogs/properties.h"
#include "dialogs/toolkit.h"
#include "support/host_window.h"
#include "support/string_table.h"

namespace glyphoria {
namespace {

using testing::DialogDriver;
using testing::DialogStep;
using testing::PostKey;

class RuntimeTest : public ::testing::Test {
  protected:
    void SetUp() override { LoadStrings(); }
};

int RunDialog(const char* name, std::vector<DialogStep> steps, DialogStartProc start = nullptr,
              void* data = nullptr) {
    DialogDriver driver(std::move(steps));
    int result = RunDescribedDialog(name, start, data);
    EXPECT_FALSE(driver.timed_out());
    EXPECT_TRUE(driver.done());
    return result;
}

DialogStep Focus(int id) {
    return [id](HWND dialog) { FocusControl(FindControl(dialog, id)); };
}
DialogStep Key(WPARAM key) {
    return [key](HWND) { PostKey(key); };
}
DialogStep ExpectRunning() {
    return [](HWND dialog) { EXPECT_TRUE(IsWindowVisible(dialog)); };
}

int Handles(HWND, HWND, void* data) {
    ++*static_cast<int*>(data);
    return 1;
}
int Passes(HWND, HWND, void* data) {
    ++*static_cast<int*>(data);
    return 0;
}

TEST_F(RuntimeTest, ReturnInASingleLineFieldEndsWithOneUnlessOkHandlesIt) {
    struct Case {
        const char* name;
        ControlCommandProc ok_proc;
        int result;
        int calls;
    } cases[] = {
        {"no procedure", nullptr, 1, 0},
        {"procedure passes", Passes, 1, 1},
        {"procedure handles", Handles, 2, 1},  // still open: Escape ends it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int calls = 0;
        std::vector<DialogStep> steps = {[&](HWND dialog) {
                                             if (c.ok_proc)
                                                 SetControlCommand(dialog, 1, c.ok_proc, &calls);
                                         },
                                         Focus(11), Key(VK_RETURN)};
        if (c.result == 2) {
            steps.push_back(ExpectRunning());
            steps.push_back(Key(VK_ESCAPE));
        }
        EXPECT_EQ(c.result, RunDialog("TestForm", steps));
        EXPECT_EQ(c.calls, calls);
    }
}

TEST_F(RuntimeTest, ReturnWithoutAnOkButtonEndsNothing) {
    // The transfer window has only Cancel: Return must not report success.
    struct Case {
        const char* name;
        int focus;
    } cases[] = {{"URLData", 2}, {"TestNoOk", 11}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool still_open = false;
        EXPECT_EQ(2, RunDialog(c.name, {Focus(c.focus), Key(VK_RETURN), [](HWND) {} /* a tick */,
                                        [&](HWND dialog) { still_open = IsWindowVisible(dialog); },
                                        Key(VK_ESCAPE)}));
        EXPECT_TRUE(still_open);
    }
}

TEST_F(RuntimeTest, ReturnInAMultiLineFieldIsTyped) {
    std::wstring text;
    EXPECT_EQ(2, RunDialog("TestForm",
                           {Focus(13),
                            [](HWND) {
                                HWND focus = GetFocus();
                                PostMessageW(focus, WM_CHAR, L'a', 1);
                                PostKey(VK_RETURN);
                                PostMessageW(focus, WM_CHAR, L'\r', 1);
                                PostMessageW(focus, WM_CHAR, L'b', 1);
                            },
                            [&](HWND dialog) { text = testing::TextOf(FindControl(dialog, 13)); },
                            Key(VK_ESCAPE)}));
    EXPECT_EQ(L"a\r\nb", text);
}

TEST_F(RuntimeTest, EscapeInAnySubclassedControlEndsWithTwo) {
    for (int id : {11, 12, 13, 15, 1, 2}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(2, RunDialog("TestForm", {Focus(id), Key(VK_ESCAPE)}));
    }
}

TEST_F(RuntimeTest, ButtonsAndCloseEndTheDialog) {
    struct Case {
        const char* name;
        DialogStep step;
        int result;
    } cases[] = {
        {"OK", [](HWND d) { SendMessageW(FindControl(d, 1), BM_CLICK, 0, 0); }, 1},
        {"Cancel", [](HWND d) { SendMessageW(FindControl(d, 2), BM_CLICK, 0, 0); }, 2},
        {"close", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, 2},
        {"EndDescribedDialog", [](HWND d) { EndDescribedDialog(d, 42); }, 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, RunDialog("TestForm", {c.step}));
    }
}

TEST_F(RuntimeTest, TabAndShiftTabWrapTheFocusRing) {
    struct Case {
        const char* name;
        int from;
        bool backwards;
        int to;
        std::vector<int> hidden, disabled;
    } cases[] = {
        {"forwards into a group", 11, false, 12, {}, {}},
        {"out of a group", 13, false, 14, {}, {}},
        {"last wraps to first", 16, false, 11, {}, {}},
        {"first wraps to last", 11, true, 16, {}, {}},
        {"hidden skipped", 11, false, 13, {12}, {}},
        {"disabled group skipped", 11, false, 14, {}, {20}},
        {"backwards over disabled", 14, true, 11, {}, {20}},
        {"from a pop-up menu", 16, false, 11, {}, {}},
        {"back from a combo box", 14, true, 13, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int focused = 0;
        RunDialog("TestForm", {[&](HWND d) {
                                   for (int id : c.hidden)
                                       ShowWindow(FindControl(d, id), SW_HIDE);
                                   for (int id : c.disabled)
                                       EnableWindow(FindControl(d, id), FALSE);
                                   FocusControl(FindControl(d, c.from));
                               },
                               [&](HWND) {
                                   testing::HoldShift(c.backwards);
                                   PostKey(VK_TAB);
                               },
                               [](HWND) { testing::HoldShift(false); },
                               [&](HWND) {
                                   // A combo box hands its focus to its edit field.
                                   HWND focus = GetFocus();
                                   if (ControlType(GetParent(focus)) == kTypeCombo)
                                       focus = GetParent(focus);
                                   focused = GetDlgCtrlID(focus);
                               },
                               Key(VK_ESCAPE)});
        EXPECT_EQ(c.to, focused);
    }
}

TEST_F(RuntimeTest, FocusRingTakesAComboBoxForItsEditField) {
    int next = 0;
    RunDialog("TestForm", {[&](HWND d) {
                               HWND combo = FindControl(d, 14);
                               HWND edit = GetWindow(combo, GW_CHILD);
                               ASSERT_TRUE(edit);
                               next = GetDlgCtrlID(NextFocusControl(d, edit, false));
                           },
                           Key(VK_ESCAPE)});
    EXPECT_EQ(15, next);
}

TEST_F(RuntimeTest, FindControlByCodeAndIdentifier) {
    struct Found {
        int by_code = 0, by_id = 0, nested = 0, first_match = 0;
        bool nested_in_group = false, dialog_itself = false, none = false;
        HWND bar_by_code = nullptr, bar_by_id = nullptr;
        FourCC bar_type = 0;
    } found;
    RunDialog("TestForm", {[&](HWND d) {
                  found.by_code = GetDlgCtrlID(FindControl(d, MakeFourCC("fst ")));
                  found.by_id = GetDlgCtrlID(FindControl(d, 11));
                  HWND nested = FindControl(d, 13);  // inside the group box's pane
                  found.nested = GetDlgCtrlID(nested);
                  found.nested_in_group = IsChild(FindControl(d, 20), nested) != FALSE;
                  // Depth-first in window order, the first match wins: field
                  // 12 (before 13 in the group) now carries the code 13.
                  SetValueProperty(FindControl(d, 12), kPropCommand, 13);
                  found.first_match = GetDlgCtrlID(FindControl(d, 13));
                  // The window itself comes first.
                  SetValueProperty(d, kPropCommand, MakeFourCC("dlg "));
                  found.dialog_itself = FindControl(d, MakeFourCC("dlg ")) == d;
                  found.none = FindControl(d, 99) == nullptr;
                  EndDescribedDialog(d, 1);
              }});
    EXPECT_EQ(11, found.by_code);
    EXPECT_EQ(11, found.by_id);
    EXPECT_EQ(13, found.nested);
    EXPECT_TRUE(found.nested_in_group);
    EXPECT_EQ(12, found.first_match);
    EXPECT_TRUE(found.dialog_itself);
    EXPECT_TRUE(found.none);

    // The transfer window's bar, by its code 'prog' and by its identifier 3.
    RunDialog("URLData", {[&](HWND d) {
                  found.bar_by_code = FindControl(d, MakeFourCC("prog"));
                  found.bar_by_id = FindControl(d, 3);
                  found.bar_type = ControlType(found.bar_by_code);
                  EndDescribedDialog(d, 1);
              }});
    EXPECT_EQ(kTypeProgress, found.bar_type);
    EXPECT_EQ(found.bar_by_code, found.bar_by_id);
}

TEST_F(RuntimeTest, TimerTicksWithTheDialogsData) {
    EXPECT_EQ(10u, TimerMilliseconds(0.01f));
    EXPECT_EQ(1500u, TimerMilliseconds(1.5f));
    EXPECT_EQ(0u, TimerMilliseconds(-1.0f));
    struct Ticks {
        int count = 0;
    } ticks;
    const int result = RunDescribedDialog(
        "URLData",
        [](HWND dialog, void*) {
            StartDialogTimer(
                dialog,
                [](HWND d, void* data) {
                    if (++static_cast<Ticks*>(data)->count == 3) EndDescribedDialog(d, 7);
                },
                0.01f);
        },
        &ticks);
    EXPECT_EQ(7, result);
    EXPECT_EQ(3, ticks.count);
}

TEST_F(RuntimeTest, ComboProceduresRunOnCloseUpOnly) {
    int calls = 0;
    RunDialog("TestForm", {[&](HWND d) {
                               SetControlCommand(d, 16, Passes, &calls);
                               HWND popup = FindControl(d, 16);
                               const LPARAM from = reinterpret_cast<LPARAM>(popup);
                               SendMessageW(d, WM_COMMAND, MAKEWPARAM(16, CBN_SELCHANGE), from);
                               SendMessageW(d, WM_COMMAND, MAKEWPARAM(16, CBN_CLOSEUP), from);
                               EXPECT_EQ(CBN_CLOSEUP, LastNotificationCode());
                           },
                           Key(VK_ESCAPE)});
    EXPECT_EQ(1, calls);
}

TEST_F(RuntimeTest, HostWindowIsDisabledWhileTheDialogRuns) {
    HWND host = CreateWindowExW(0, L"Static", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
    SetHostWindowHandle(host);
    bool enabled_while_running = true;
    RunDialog("URLData",
              {[&](HWND) { enabled_while_running = IsWindowEnabled(host); }, Key(VK_ESCAPE)});
    EXPECT_FALSE(enabled_while_running);
    EXPECT_TRUE(IsWindowEnabled(host));
    SetHostWindowHandle(nullptr);
    DestroyWindow(host);
}

// Afterwards the window that was active is again, with the focus where it
// was: on the second of its two fields, not on the window itself.
TEST_F(RuntimeTest, TheActiveWindowAndTheFocusComeBack) {
    HWND host = CreateWindowExW(0, L"Static", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                100, nullptr, nullptr, nullptr, nullptr);
    HWND fields[2];
    for (int i = 0; i < 2; ++i)
        fields[i] = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 10, 10 + 30 * i, 100,
                                    20, host, reinterpret_cast<HMENU>(70 + i), nullptr, nullptr);
    SetForegroundWindow(host);
    SetFocus(fields[1]);
    ASSERT_EQ(host, GetActiveWindow());
    ASSERT_EQ(fields[1], GetFocus());
    HWND focus_inside = nullptr;
    RunDialog("TestForm", {[&](HWND) { focus_inside = GetFocus(); }, Key(VK_ESCAPE)});
    EXPECT_NE(fields[1], focus_inside);  // the dialog had it meanwhile
    EXPECT_EQ(host, GetActiveWindow());
    EXPECT_EQ(fields[1], GetFocus());
    DestroyWindow(host);
}

// Check boxes, tab controls and progress bars by type: get and set.
TEST_F(RuntimeTest, CheckBoxTabsAndProgressBarValues) {
    HWND window = CreateWindowExW(0, L"Static", L"values", WS_POPUP, 0, 0, 300, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_TRUE(BuildWindowFromText(
        window,
        "<rect>0 0 300 200</rect>"
        "<control><type>cbox</type><id>40</id><text>x</text><rect>10 10 80 10</rect></control>"
        "<control><type>prgb</type><id>41</id><rect>10 30 200 10</rect></control>"
        "<control><type>tabs</type><id>42</id><text1>One</text1><text2>Two</text2>"
        "<text3>Three</text3><rect>10 50 200 100</rect></control>"
        "<control><type>####</type></control>"));
    HWND check = FindControl(window, 40);
    HWND bar = FindControl(window, 41);
    HWND tabs = FindControl(window, 42);
    ASSERT_TRUE(check && bar && tabs);

    EXPECT_EQ(0, GetControlValue(check));
    SetControlValue(check, 1);
    EXPECT_EQ(BST_CHECKED, SendMessageW(check, BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, GetControlValue(check));

    SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
    SetControlValue(bar, 640);
    EXPECT_EQ(640, SendMessageW(bar, PBM_GETPOS, 0, 0));
    EXPECT_EQ(640, GetControlValue(bar));

    EXPECT_EQ(1, GetControlValue(tabs));  // the first tab, counted from 1
    SetControlValue(tabs, 3);
    EXPECT_EQ(2, SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    EXPECT_EQ(3, GetControlValue(tabs));
    FreeStringProperties(window);
    DestroyWindow(window);
}

TEST_F(RuntimeTest, MissingDescriptionGivesAnEmptyDialogTitledWithTheName) {
    std::wstring title;
    bool started = false;
    const int result = RunDescribedDialog(
        "NoSuchWindow",
        [](HWND dialog, void* data) {
            *static_cast<bool*>(data) = true;
            EndDescribedDialog(dialog, 5);
        },
        &started);
    EXPECT_TRUE(started);
    EXPECT_EQ(5, result);
    RunDialog("NoSuchWindow", {[&](HWND d) {
                  title = testing::TextOf(d);
                  EndDescribedDialog(d, 1);
              }});
    EXPECT_EQ(L"NoSuchWindow", title);
}

TEST_F(RuntimeTest, ControlValuesAndTextsByType) {
    RunDialog("TestForm", {[](HWND d) {
                  HWND popup = FindControl(d, 16);
                  EXPECT_EQ(2, GetControlValue(popup));  // "Beta", from the description
                  SetItemText(d, 16, "Alpha");
                  EXPECT_EQ(1, GetItemValue(d, 16));
                  SetItemText(d, 16, "Beta");
                  SetItemText(d, 16, "Nothing like it");  // a text no item has: the first
                  EXPECT_EQ(1, GetItemValue(d, 16));
                  char text[256];
                  GetItemText(d, 16, text, sizeof text);
                  EXPECT_STREQ("Alpha", text);

                  HWND list = FindControl(d, 15);
                  EXPECT_EQ(0u, GetControlText(list, text, sizeof text));  // nothing selected
                  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"\u00C4pfel"));
                  SendMessageW(list, LB_SETCURSEL, 0, 0);
                  GetControlText(list, text, sizeof text);
                  EXPECT_STREQ("\xC3\x84pfel", text);

                  SetItemText(d, 11, "cancel");  // a string-table key
                  GetItemText(d, 11, text, sizeof text);
                  EXPECT_STREQ("Cancel", text);
                  SetItemTextF(d, 11, "%d,%d", 3, 75);
                  EXPECT_DOUBLE_EQ(3.75, GetItemNumber(d, 11));
                  EXPECT_EQ(3, GetItemInt(d, 11));
                  SetItemNumber(d, 11, -12);
                  EXPECT_EQ(-12, GetItemInt(d, 11));
                  std::string long_text(300, 'x');
                  long_text += "\xC3\x84";
                  SetItemText(d, 11, long_text.c_str());
                  EXPECT_EQ(255u, GetItemText(d, 11, text, sizeof text));

                  EXPECT_EQ(0, GetItemValue(d, 99));  // no such control
                  EXPECT_EQ(0u, GetItemText(d, 99, text, sizeof text));
                  EXPECT_STREQ("", text);
                  EXPECT_EQ(1, AddItemPopupItem(d, 14, "one"));
                  EXPECT_EQ(2, AddItemPopupItem(d, 14, "two"));
                  SetItemValue(d, 14, 2);
                  EXPECT_EQ(2, GetItemValue(d, 14));
                  EndDescribedDialog(d, 1);
              }});
}

struct Drawn {
    std::vector<int> items;
    void* data = nullptr;
};

TEST_F(RuntimeTest, ListItemsAreDrawnByTheListsDrawer) {
    Drawn drawn;
    RunDialog("TestForm", {[&](HWND d) {
                               HWND list = FindControl(d, 15);
                               for (const wchar_t* item : {L"one", L"two"})
                                   SendMessageW(list, LB_ADDSTRING, 0,
                                                reinterpret_cast<LPARAM>(item));
                               SetListItemDrawer(
                                   list,
                                   [](HDC, HWND, int index, const RECT* rect, void* data) {
                                       auto* seen = static_cast<Drawn*>(data);
                                       seen->items.push_back(index);
                                       seen->data = data;
                                       EXPECT_GT(rect->bottom, rect->top);
                                   },
                                   &drawn);
                               InvalidateRect(list, nullptr, TRUE);
                               UpdateWindow(list);
                           },
                           Key(VK_ESCAPE)});
    ASSERT_GE(drawn.items.size(), 2u);
    EXPECT_EQ(0, drawn.items[0]);
    EXPECT_EQ(1, drawn.items[1]);
    EXPECT_EQ(&drawn, drawn.data);
}

}  // namespace
}  // namespace glyphoria
