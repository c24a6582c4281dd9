// Watching this thread's windows: a progress window is recorded as it looked
// when it closed (caption, bar, cancel button); a window that never became
// active, windows closed while nobody watched and windows of another thread
// are not.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/progress.h"
#include "platform/win32/windows_api.h"
#include "platform/window_watch.h"

namespace {

namespace platform = glyphoria::platform;

// Shown until its first tick: a window that ends in its start procedure is
// never shown at all.
void ShowProgress(const char* title, std::uint64_t range, std::uint64_t position) {
    platform::RunProgress(
        [&](platform::ProgressWindow& w) {
            w.SetTitle(title);
            w.SetRange(range);
            w.SetPosition(position);
            w.StartTimer(10);
        },
        [](platform::ProgressWindow& w) { w.End(platform::kProgressDone); });
}

void MakeHiddenWindow() {
    HWND hidden = CreateWindowExW(0, L"STATIC", L"never shown", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hidden);
    DestroyWindow(hidden);
}

TEST(Win32WindowWatch, RecordsWhatTheUserSawWhenItClosed) {
    ShowProgress("before the watch", 10, 10);
    ASSERT_TRUE(platform::StartWindowWatch());
    ASSERT_TRUE(platform::StartWindowWatch());  // the running watch stays
    MakeHiddenWindow();
    std::thread([] { ShowProgress("another thread", 5, 5); }).join();
    ShowProgress("Downloading \xE2\x80\xA6", 3000000000ull, 1500000000ull);
    ShowProgress("", 304, 304);

    const std::vector<platform::WatchedWindow> windows = platform::TakeWatchedWindows();
    ASSERT_EQ(2u, windows.size());
    struct Expected {
        const char* title;
        std::int64_t range, position;  // the bar's own numbers (large totals shifted down)
    } expected[] = {{"Downloading \xE2\x80\xA6", 1500000000, 750000000}, {"", 304, 304}};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].title, windows[i].title);
        EXPECT_EQ("#32770", windows[i].class_name);
        bool bar = false, cancel = false;
        std::string controls;
        for (const platform::WatchedControl& c : windows[i].controls) {
            controls += std::to_string(c.id) + " " + c.class_name + " \"" + c.text + "\"\n";
            if (c.id == 3 && c.is_progress_bar) {
                bar = true;
                EXPECT_EQ(expected[i].range, c.range_high);
                EXPECT_EQ(expected[i].position, c.position);
            }
            // Its text is the string table's, which this program has not loaded.
            if (c.id == 2 && c.class_name == "Button") cancel = !c.text.empty();
        }
        EXPECT_TRUE(bar) << controls;
        EXPECT_TRUE(cancel) << controls;
    }
    EXPECT_TRUE(platform::TakeWatchedWindows().empty());  // taken once

    platform::StopWindowWatch();
    ShowProgress("after the watch", 1, 1);
    EXPECT_TRUE(platform::TakeWatchedWindows().empty());
}

}  // namespace
