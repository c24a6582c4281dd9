// The progress runner: pacing, the hook, cancel from a thread and by Ctrl-C,
// and the terminal line.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/posix/progress_line.h"
#include "platform/progress.h"

namespace {

using glyphoria::platform::kProgressDone;
using glyphoria::platform::kProgressFailed;
using glyphoria::platform::ProgressWindow;
using glyphoria::platform::RunProgress;
using Clock = std::chrono::steady_clock;

void StartTicking(ProgressWindow& w) {
    w.StartTimer(10);
}

// Ticks are due at fixed times: 40 ticks doing 7 ms of work each take about
// 400 ms, not 680.
TEST(ProgressRunner, PacingDoesNotDrift) {
    int ticks = 0;
    Clock::time_point start = Clock::now();
    int result = RunProgress(StartTicking, [&](ProgressWindow& w) {
        std::this_thread::sleep_for(std::chrono::milliseconds(7));
        if (++ticks == 40) w.End(kProgressDone);
    });
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_EQ(kProgressDone, result);
    EXPECT_GE(elapsed.count(), 400);
    EXPECT_LT(elapsed.count(), 560);
}

TEST(ProgressRunner, HookSeesEveryStepAndCanEnd) {
    int hook_calls = 0;
    glyphoria::platform::SetProgressHook([&](ProgressWindow& w) {
        ++hook_calls;
        if (w.position() >= 3) w.End(kProgressFailed);
    });
    int result =
        RunProgress(StartTicking, [](ProgressWindow& w) { w.SetPosition(w.position() + 1); });
    glyphoria::platform::SetProgressHook(nullptr);
    EXPECT_EQ(kProgressFailed, result);
    EXPECT_EQ(4, hook_calls);  // after start, then after ticks 1..3
}

// A window without a timer waits for the user; a cancel ends it, and a cancel
// while no window runs is not kept for the next one.
TEST(ProgressRunner, CancelFromAnotherThread) {
    std::thread canceller([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        glyphoria::platform::CancelProgress();
    });
    EXPECT_EQ(kProgressFailed, RunProgress(nullptr, nullptr));
    canceller.join();
    glyphoria::platform::CancelProgress();
    EXPECT_EQ(kProgressDone,
              RunProgress(StartTicking, [](ProgressWindow& w) { w.End(kProgressDone); }));
}

int g_outer_signals = 0;
extern "C" void CountSignal(int) {
    ++g_outer_signals;
}

// Ctrl-C cancels without ending the process; the program's own handler is
// back afterwards.
TEST(ProgressRunner, InterruptCancelsAndRestoresTheHandler) {
    struct sigaction outer = {}, saved = {};
    outer.sa_handler = CountSignal;
    sigemptyset(&outer.sa_mask);
    ASSERT_EQ(0, sigaction(SIGINT, &outer, &saved));
    int ticks = 0;
    int result = RunProgress(StartTicking, [&](ProgressWindow&) {
        if (++ticks == 2) raise(SIGINT);
    });
    EXPECT_EQ(kProgressFailed, result);
    EXPECT_EQ(2, ticks);
    EXPECT_EQ(0, g_outer_signals);
    raise(SIGINT);
    EXPECT_EQ(1, g_outer_signals);
    sigaction(SIGINT, &saved, nullptr);
}

TEST(ProgressLine, Layout) {
    struct Case {
        std::uint64_t position, total;
        double rate;
        const char* expected;
    } cases[] = {
        {2000000, 5000000, 1960000, "T [########............]  40%  2.0 MB / 5.0 MB  2.0 MB/s"},
        {7000, 5000, 999, "T [####################] 100%  7.0 kB / 5.0 kB  999 B/s"},
        {123456, 0, 1500, "T  123.5 kB  1.5 kB/s"},  // no total: no bar
    };
    for (const Case& c : cases) {
        char line[128];
        glyphoria::platform::FormatProgressLine(line, sizeof line, "T", c.position, c.total,
                                                c.rate);
        EXPECT_STREQ(c.expected, line);
    }
    char small[16];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(9u, glyphoria::platform::FormatProgressLine(small, 10, "A long title", 1, 2, 3));
    EXPECT_EQ('x', small[10]);
}

}  // namespace
