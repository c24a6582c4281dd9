// CMyDialog in both forms and modeless described dialogs: pseudo-commands,
// end buttons, handlers, the private modal loop, self-deleting modeless
// objects and the modeless procedures.
#include "dialogs/my_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "dialog_driver.h"
#include "dialogs/controls.h"
#include "dialogs/dialog_runtime.h"
#include "dialogs/modeless.h"
#include "dialogs/properties.h"
#include "dialogs/toolkit.h"
#include "support/host_window.h"
#include "support/string_table.h"

namespace glyphoria {
namespace {

using testing::DialogDriver;

struct Log {
    std::vector<int> ids;
    int handle = 0;  // the id the handler claims
};

// Buttons and pseudo-commands; the edit fields' notifications are left out.
bool Interesting(int id) {
    return id <= 2;
}

int Record(CMyDialog*, int id, void* user) {
    auto* log = static_cast<Log*>(user);
    if (Interesting(id)) log->ids.push_back(id);
    return id == log->handle;
}

int RunModal(CMyDialog& dialog, Log& log, std::vector<testing::DialogStep> steps) {
    DialogDriver driver(std::move(steps));
    const int result = dialog.RunModal(Record, &log);
    EXPECT_FALSE(driver.timed_out());
    return result;
}

TEST(ClassDialogTest, EndButtonsPseudoCommandsAndClose) {
    LoadStrings();
    struct Case {
        const char* name;
        bool from_template;
        testing::DialogStep step;
        int result;
        std::vector<int> ids;
    } cases[] = {
        {"template OK",
         true,
         [](HWND d) { SendMessageW(GetDlgItem(d, 1), BM_CLICK, 0, 0); },
         1,
         {-1, 1, -2}},
        {"template close", true, [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }, -2, {-1, -2}},
        {"template Escape", true, [](HWND) { testing::PostKey(VK_ESCAPE); }, 2, {-1, 2, -2}},
        // The system's fonts changed: -3 for the template form only.
        {"template fonts changed",
         true,
         [](HWND d) {
             SendMessageW(d, WM_FONTCHANGE, 0, 0);
             PostMessageW(d, WM_CLOSE, 0, 0);
         },
         -2,
         {-1, -3, -2}},
        {"described fonts changed",
         false,
         [](HWND d) {
             SendMessageW(d, WM_FONTCHANGE, 0, 0);
             PostMessageW(d, WM_CLOSE, 0, 0);
         },
         -2,
         {-1, -2}},
        {"described OK",
         false,
         [](HWND d) { SendMessageW(FindControl(d, 1), BM_CLICK, 0, 0); },
         1,
         {-1, 1, -2}},
        {"described close", false, [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }, -2, {-1, -2}},
        {"described Escape typed into the window",
         false,
         [](HWND d) { PostMessageW(d, WM_CHAR, VK_ESCAPE, 1); },
         -2,
         {-1, -2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Log log;
        int result = 0;
        if (c.from_template) {
            CMyDialog dialog(static_cast<std::uint16_t>(200), 1, 2, 0);
            result = RunModal(dialog, log, {c.step});
        } else {
            CMyDialog dialog("TestForm", 1, 2, 0);
            result = RunModal(dialog, log, {c.step});
        }
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.ids, log.ids);
    }
}

TEST(ClassDialogTest, AHandledCommandDoesNotEndAndOnlyTheFirstEndCounts) {
    Log log;
    log.handle = 1;
    CMyDialog dialog("TestForm", 1, 2, 0);
    HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                 nullptr, nullptr, nullptr, nullptr);
    dialog.SetOwner(owner);
    bool owner_enabled = true;
    const int result = RunModal(dialog, log,
                                {[](HWND d) { SendMessageW(FindControl(d, 1), BM_CLICK, 0, 0); },
                                 [&](HWND) {
                                     owner_enabled = IsWindowEnabled(owner);
                                     dialog.End(5);
                                     dialog.End(6);
                                 }});
    EXPECT_EQ(5, result);
    EXPECT_FALSE(owner_enabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ((std::vector<int>{-1, 1, -2}), log.ids);
    DestroyWindow(owner);
}

TEST(ClassDialogTest, EndingWithZeroLeavesTheModalLoop) {
    Log log;
    CMyDialog dialog("TestForm", 1, 2, 0);
    EXPECT_EQ(0, RunModal(dialog, log, {[&](HWND) { dialog.End(0); }}));
}

TEST(ClassDialogTest, AnObjectRunsAgainAfterItEnded) {
    for (const bool from_template : {true, false}) {
        SCOPED_TRACE(from_template ? "template" : "described");
        std::unique_ptr<CMyDialog> dialog =
            from_template ? std::make_unique<CMyDialog>(static_cast<std::uint16_t>(200), 1, 2, 0)
                          : std::make_unique<CMyDialog>("TestForm", 1, 2, 0);
        Log log;
        EXPECT_EQ(1, RunModal(*dialog, log,
                              {[](HWND d) { SendMessageW(FindControl(d, 1), BM_CLICK, 0, 0); }}));
        EXPECT_EQ(2, RunModal(*dialog, log, {[&](HWND d) {
                      if (dialog->ended())
                          EndDialog(d, 99);  // still ended from the first run: nothing closes it
                      else
                          SendMessageW(FindControl(d, 2), BM_CLICK, 0, 0);
                  }}));
    }
}

int Extended(CMyDialog*, HWND control, WPARAM command, void* user) {
    auto* log = static_cast<Log*>(user);
    const int id = static_cast<short>(LOWORD(command));
    if (Interesting(id)) log->ids.push_back(1000 + id);
    return control != nullptr && LOWORD(command) == 1;  // the last handler decides
}

TEST(ClassDialogTest, TheExtendedHandlerDecides) {
    Log log;
    log.handle = 2;  // claimed by the first handler, but the extended one decides
    CMyDialog dialog("TestForm", 1, 2, 0);
    dialog.SetExtendedHandler(Extended);
    const int result = RunModal(dialog, log,
                                {[](HWND d) { SendMessageW(FindControl(d, 1), BM_CLICK, 0, 0); },
                                 [](HWND d) { SendMessageW(FindControl(d, 2), BM_CLICK, 0, 0); }});
    EXPECT_EQ(2, result);
    EXPECT_EQ((std::vector<int>{-1, 999, 1, 1001, 2, 1002, -2, 998}), log.ids);
}

int g_deleted = 0;
// Freed objects are kept, filled with a pattern, so a write into an object
// after it deleted itself shows (and a read of its handlers would crash).
constexpr unsigned char kFreed = 0xAB;
std::vector<std::pair<unsigned char*, std::size_t>> g_freed;

class Counted : public CMyDialog {
  public:
    using CMyDialog::CMyDialog;
    ~Counted() override { ++g_deleted; }
    static void operator delete(void* p, std::size_t size) {
        std::memset(p, kFreed, size);
        g_freed.emplace_back(static_cast<unsigned char*>(p), size);
    }
};

bool FreedUntouched() {
    for (const auto& [p, size] : g_freed) {
        for (std::size_t i = 0; i < size; ++i) {
            if (p[i] != kFreed) return false;
        }
    }
    return true;
}

int EndsInHandler(CMyDialog* dialog, int id, void* user) {
    Record(dialog, id, user);
    if (id == 11) dialog->End(7);
    return 0;
}

TEST(ClassDialogTest, AModelessObjectGoesWithItsWindow) {
    struct Case {
        const char* name;
        CMyDialog::CommandHandler handler;
        void (*close)(HWND window);
        std::vector<int> ids;
    } cases[] = {
        {"closed", Record, [](HWND w) { SendMessageW(w, WM_CLOSE, 0, 0); }, {-1, -2}},
        {"end button",
         Record,
         [](HWND w) { SendMessageW(FindControl(w, 1), BM_CLICK, 0, 0); },
         {-1, 1, -2}},
        {"a handler ends it",
         EndsInHandler,
         [](HWND w) {
             SendMessageW(w, WM_COMMAND, MAKEWPARAM(11, 0),
                          reinterpret_cast<LPARAM>(FindControl(w, 11)));
         },
         {-1, -2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_deleted = 0;
        Log log;
        auto* dialog = new Counted("TestForm", 1, 2, 0);
        HWND window = dialog->CreateModeless(c.handler, &log);
        ASSERT_TRUE(window);
        EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(FindControl(window, 11));
        c.close(window);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(1, g_deleted);
        EXPECT_TRUE(FreedUntouched());
        EXPECT_EQ(c.ids, log.ids);
    }
    for (const auto& freed : g_freed)
        ::operator delete(freed.first);
    g_freed.clear();
}

struct Modeless {
    int started = 0, destroyed = 0, moved = 0;
    int keep_open = 1;
};

TEST(ModelessTest, ProceduresAndOwner) {
    HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                 nullptr, nullptr, nullptr, nullptr);
    Modeless state;
    HWND window = OpenModelessDialog(
        "TestForm", [](HWND, void* data) { ++static_cast<Modeless*>(data)->started; },
        [](HWND, void* data) { return static_cast<Modeless*>(data)->keep_open; }, &state, owner);
    ASSERT_TRUE(window);
    EXPECT_EQ(1, state.started);
    EXPECT_EQ(owner, GetWindow(window, GW_OWNER));
    EXPECT_EQ(L"ModelessDialog", testing::ClassOf(window));
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    SetModelessMovedProc(window, [](HWND, void* data) { ++static_cast<Modeless*>(data)->moved; });
    SetModelessDestroyProc(window,
                           [](HWND, void* data) { ++static_cast<Modeless*>(data)->destroyed; });
    SetWindowPos(window, nullptr, 7, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(1, state.moved);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));  // the close procedure keeps it
    state.keep_open = 0;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(1, state.destroyed);
    DestroyWindow(owner);
}

int KeepsOpen(HWND, HWND, void*) {
    return 1;
}

// Without an owner of its own the window is owned by the root owner of the
// active window (the host's window behind one of its palettes). Commands 1
// and 2 close it unless a command procedure handles them.
TEST(ModelessTest, DefaultOwnerAndTheEndCommands) {
    HWND host = CreateWindowExW(0, L"Static", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                100, nullptr, nullptr, nullptr, nullptr);
    HWND palette = CreateWindowExW(0, L"Static", L"palette", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50,
                                   host, nullptr, nullptr, nullptr);
    for (int id : {1, 2}) {
        SCOPED_TRACE(id);
        SetForegroundWindow(palette);
        ASSERT_EQ(palette, GetActiveWindow());
        HWND window = OpenModelessDialog("TestForm", nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window);
        EXPECT_EQ(host, GetWindow(window, GW_OWNER));

        SetControlCommand(window, id, KeepsOpen, nullptr);
        HWND button = FindControl(window, id);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        testing::PumpMessages();
        EXPECT_TRUE(IsWindow(window)) << "a handled command closed it";

        SetControlCommand(window, id, nullptr, nullptr);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        testing::PumpMessages();
        EXPECT_FALSE(IsWindow(window));
        if (IsWindow(window)) DestroyWindow(window);
    }
    DestroyWindow(palette);
    DestroyWindow(host);
}

}  // namespace
}  // namespace glyphoria
