// The progress runner: results, pacing, cancel from a thread, Ctrl-C, and the
// terminal line.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/posix/progress_line.h"
#include "platform/progress.h"

namespace {

using glyphoria::platform::kProgressDone;
using glyphoria::platform::kProgressFailed;
using glyphoria::platform::ProgressWindow;
using glyphoria::platform::RunProgress;
using Clock = std::chrono::steady_clock;

struct HookGuard {
    explicit HookGuard(const glyphoria::platform::ProgressProc& hook) {
        glyphoria::platform::SetProgressHook(hook);
    }
    ~HookGuard() { glyphoria::platform::SetProgressHook(nullptr); }
};

TEST(ProgressRunner, StartCanEndAtOnce) {
    struct Case {
        int result;
    } cases[] = {{kProgressDone}, {kProgressFailed}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        int ticks = 0;
        int got = RunProgress([&](ProgressWindow& w) { w.End(c.result); },
                              [&](ProgressWindow&) { ++ticks; });
        EXPECT_EQ(c.result, got);
        EXPECT_EQ(0, ticks);
    }
}

TEST(ProgressRunner, TicksUntilEndAndKeepsTheBar) {
    int ticks = 0;
    std::uint64_t seen_range = 0;
    int result = RunProgress(
        [](ProgressWindow& w) {
            w.SetTitle("Downloading");
            w.SetRange(50);
            w.StartTimer(10);
        },
        [&](ProgressWindow& w) {
            ++ticks;
            w.SetPosition(w.position() + 10);
            seen_range = w.range();
            if (w.position() >= 50) w.End(kProgressDone);
        });
    EXPECT_EQ(kProgressDone, result);
    EXPECT_EQ(5, ticks);
    EXPECT_EQ(50u, seen_range);
}

// Ticks are due at fixed times: work inside a tick does not push the rest
// back. 40 ticks of 10 ms each doing 7 ms of work take about 400 ms, not 680.
TEST(ProgressRunner, PacingDoesNotDrift) {
    constexpr int kTicks = 40;
    std::vector<Clock::time_point> at;
    Clock::time_point start = Clock::now();
    RunProgress([](ProgressWindow& w) { w.StartTimer(10); },
                [&](ProgressWindow& w) {
                    at.push_back(Clock::now());
                    std::this_thread::sleep_for(std::chrono::milliseconds(7));
                    if (static_cast<int>(at.size()) == kTicks) w.End(kProgressDone);
                });
    ASSERT_EQ(static_cast<std::size_t>(kTicks), at.size());
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(at.back() - start);
    EXPECT_GE(elapsed.count(), kTicks * 10 - 5);
    EXPECT_LT(elapsed.count(), kTicks * 10 + 150);
}

// Without a timer the window waits for the user; a cancel from elsewhere
// ends it with the failure result.
TEST(ProgressRunner, CancelEndsAWaitingWindow) {
    int ticks = 0;
    std::thread canceller([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        glyphoria::platform::CancelProgress();
    });
    int result =
        RunProgress([](ProgressWindow& w) { w.SetRange(0); }, [&](ProgressWindow&) { ++ticks; });
    canceller.join();
    EXPECT_EQ(kProgressFailed, result);
    EXPECT_EQ(0, ticks);
    // A cancel with no window running is not kept for the next one.
    glyphoria::platform::CancelProgress();
    EXPECT_EQ(kProgressDone, RunProgress([](ProgressWindow& w) { w.StartTimer(10); },
                                         [](ProgressWindow& w) { w.End(kProgressDone); }));
}

TEST(ProgressRunner, HookSeesEveryStepAndCanCancel) {
    int hook_calls = 0;
    HookGuard guard([&](ProgressWindow& w) {
        ++hook_calls;
        if (w.position() >= 3) w.End(kProgressFailed);
    });
    int result = RunProgress([](ProgressWindow& w) { w.StartTimer(10); },
                             [](ProgressWindow& w) { w.SetPosition(w.position() + 1); });
    EXPECT_EQ(kProgressFailed, result);
    EXPECT_EQ(4, hook_calls);  // after start, then after ticks 1..3
}

int g_outer_signals = 0;
extern "C" void CountSignal(int) {
    ++g_outer_signals;
}

// Ctrl-C cancels the window, does not end the process, and the handler the
// program had before is back afterwards.
TEST(ProgressRunner, InterruptCancelsAndRestoresTheHandler) {
    struct sigaction outer = {}, saved = {};
    outer.sa_handler = CountSignal;
    sigemptyset(&outer.sa_mask);
    ASSERT_EQ(0, sigaction(SIGINT, &outer, &saved));
    int ticks = 0;
    int result = RunProgress([](ProgressWindow& w) { w.StartTimer(10); },
                             [&](ProgressWindow&) {
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
        {0, 5000000, 0, "T [....................]   0%  0 B / 5.0 MB  0 B/s"},
        {2000000, 5000000, 1960000, "T [########............]  40%  2.0 MB / 5.0 MB  2.0 MB/s"},
        {5000000, 5000000, 2000000, "T [####################] 100%  5.0 MB / 5.0 MB  2.0 MB/s"},
        {7000, 5000, 999, "T [####################] 100%  7.0 kB / 5.0 kB  999 B/s"},
        {123456, 0, 1500, "T  123.5 kB  1.5 kB/s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        char line[128];
        glyphoria::platform::FormatProgressLine(line, sizeof line, "T", c.position, c.total,
                                                c.rate);
        EXPECT_STREQ(c.expected, line);
    }
}

TEST(ProgressLine, NeverWritesPastTheBuffer) {
    char line[16];
    std::memset(line, 'x', sizeof line);
    std::size_t n = glyphoria::platform::FormatProgressLine(line, 10, "A long title", 1, 2, 3);
    EXPECT_EQ(9u, n);
    EXPECT_EQ('\0', line[9]);
    EXPECT_EQ('x', line[10]);
}

}  // namespace
