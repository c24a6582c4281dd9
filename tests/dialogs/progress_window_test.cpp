// The platform's progress window in the toolkit's form ("URLData", set by
// the test main as by the module's start-up): ticks after StartTimer, the
// hook after the start and after every tick, cancel from another thread and
// by the window's cancel button, a quit message passed on.
#include <gtest/gtest.h>

#include <cwchar>
#include <thread>

#include "platform/progress.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

namespace {

namespace platform = glyphoria::platform;
using platform::kProgressDone;
using platform::kProgressFailed;
using platform::ProgressWindow;
using platform::RunProgress;

// A descendant of the window with the control identifier, at any depth.
HWND Descendant(HWND window, int id) {
    struct Search {
        int id;
        HWND found;
    } search = {id, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The progress dialog of this thread (a window with a bar as control 3);
// tests running at the same time in other programs share the desktop and
// may show one too.
HWND OwnProgressWindow() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            HWND bar = Descendant(window, 3);
            wchar_t name[64];
            if (bar && GetClassNameW(bar, name, 64) && std::wcscmp(name, PROGRESS_CLASSW) == 0) {
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void StartTicking(ProgressWindow& w) {
    w.SetTitle("Loading");
    w.SetRange(5000000000ULL);  // beyond the bar's int range
    w.StartTimer(10);
}

TEST(ProgressWindow, TicksUntilEndAndTheHookSeesEveryStep) {
    int ticks = 0;
    int hook_calls = 0;
    platform::SetProgressHook([&](ProgressWindow& w) {
        ++hook_calls;
        EXPECT_EQ("Loading", w.title());
    });
    int result = RunProgress(StartTicking, [&](ProgressWindow& w) {
        w.SetPosition(w.position() + 1000000000ULL);
        if (++ticks == 5) w.End(kProgressDone);
    });
    platform::SetProgressHook(nullptr);
    EXPECT_EQ(kProgressDone, result);
    EXPECT_EQ(5, ticks);
    EXPECT_EQ(6, hook_calls);  // after the start, then after ticks 1..5
}

// Without a timer the window waits for the user; the cancel button ends it
// as failed, and a cancel while no window runs is not kept for the next one.
TEST(ProgressWindow, CancelButtonAndCancelFromAThread) {
    platform::SetProgressHook([](ProgressWindow&) {
        HWND window = OwnProgressWindow();
        if (window) PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(kProgressFailed, RunProgress(nullptr, nullptr));
    platform::SetProgressHook(nullptr);

    std::thread canceller([] {
        Sleep(50);
        platform::CancelProgress();
    });
    EXPECT_EQ(kProgressFailed, RunProgress(nullptr, nullptr));
    canceller.join();
    platform::CancelProgress();
    EXPECT_EQ(kProgressDone,
              RunProgress(StartTicking, [](ProgressWindow& w) { w.End(kProgressDone); }));
}

TEST(ProgressWindow, QuitEndsTheWindowAndReachesTheCaller) {
    int result = RunProgress(StartTicking, [](ProgressWindow&) { PostQuitMessage(7); });
    EXPECT_EQ(kProgressFailed, result);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

}  // namespace
