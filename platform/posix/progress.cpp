// The progress window as a terminal loop on the calling thread.
//
// Ticks are due at start + k * interval on the monotonic clock and the wait
// sleeps to that absolute time, so time spent inside a tick never pushes the
// schedule back. A runner that falls far behind (the process was stopped)
// starts a new schedule instead of firing a burst of late ticks.
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/posix/progress_line.h"
#include "platform/progress.h"

namespace glyphoria::platform {

namespace {

constexpr unsigned kIdleIntervalMs = 10;
constexpr long kRedrawIntervalNs = 100 * 1000 * 1000L;
constexpr int kMaxLateTicks = 10;

volatile sig_atomic_t g_cancel = 0;
std::atomic<bool> g_running{false};

extern "C" void OnInterrupt(int) {
    g_cancel = 1;
}

long long NowNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// Sleeps until the absolute monotonic time; a signal cuts the sleep short.
void SleepUntil(long long deadline_ns) {
    timespec ts;
    ts.tv_sec = static_cast<time_t>(deadline_ns / 1000000000LL);
    ts.tv_nsec = static_cast<long>(deadline_ns % 1000000000LL);
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}

// Installs the Ctrl-C handler for the lifetime of the window.
class InterruptGuard {
  public:
    InterruptGuard() {
        struct sigaction action = {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        installed_ = sigaction(SIGINT, &action, &previous_) == 0;
    }
    ~InterruptGuard() {
        if (installed_) sigaction(SIGINT, &previous_, nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    struct sigaction previous_ = {};
    bool installed_ = false;
};

class TerminalWindow : public ProgressWindow {
  public:
    TerminalWindow() : draw_(isatty(STDERR_FILENO) == 1), started_ns_(NowNs()) {}
    ~TerminalWindow() override {
        if (drawn_) std::fputc('\n', stderr);
    }

    void SetTitle(const char* text) override { title_ = text ? text : ""; }
    void SetRange(std::uint64_t high) override { range_ = high; }
    void SetPosition(std::uint64_t position) override {
        position_ = position;
        Draw(false);
    }
    void StartTimer(unsigned interval_ms) override { interval_ms_ = interval_ms; }
    void End(int result) override {
        if (ended_) return;
        ended_ = true;
        result_ = result;
        Draw(true);
    }
    const std::string& title() const override { return title_; }
    std::uint64_t range() const override { return range_; }
    std::uint64_t position() const override { return position_; }
    bool ended() const override { return ended_; }

    unsigned interval_ms() const { return interval_ms_; }
    int result() const { return result_; }

  private:
    void Draw(bool final_frame) {
        if (!draw_) return;
        long long now = NowNs();
        if (!final_frame && now - last_draw_ns_ < kRedrawIntervalNs) return;
        last_draw_ns_ = now;
        double seconds = static_cast<double>(now - started_ns_) / 1e9;
        double rate = seconds > 0 ? static_cast<double>(position_) / seconds : 0;
        char line[256];
        FormatProgressLine(line, sizeof line, title_.c_str(), position_, range_, rate);
        std::fprintf(stderr, "\r%s\033[K", line);
        std::fflush(stderr);
        drawn_ = true;
    }

    bool draw_;
    bool drawn_ = false;
    long long started_ns_;
    long long last_draw_ns_ = 0;
    std::string title_;
    std::uint64_t range_ = 0;
    std::uint64_t position_ = 0;
    unsigned interval_ms_ = 0;
    bool ended_ = false;
    int result_ = kProgressFailed;
};

// True when the window has to close now: ended by a procedure or cancelled.
bool Closing(TerminalWindow& window) {
    if (!window.ended() && g_cancel) window.End(kProgressFailed);
    return window.ended();
}

void CancelTerminal() {
    if (g_running.load()) g_cancel = 1;
}

int RunTerminal(const ProgressProc& start, const ProgressProc& tick) {
    g_cancel = 0;
    g_running = true;
    int result = kProgressFailed;
    {
        InterruptGuard interrupt;
        TerminalWindow window;
        if (start) start(window);
        RunProgressHook(window);
        long long next_ns = 0;
        unsigned interval = 0;
        while (!Closing(window)) {
            if (window.interval_ms() != interval) {
                // Timer started (or changed): a fresh schedule from now.
                interval = window.interval_ms();
                next_ns = NowNs();
            }
            long long step_ns = 1000000LL * (interval ? interval : kIdleIntervalMs);
            next_ns += step_ns;
            long long now = NowNs();
            if (now - next_ns > kMaxLateTicks * step_ns) next_ns = now;
            SleepUntil(next_ns);
            if (Closing(window)) break;
            if (interval && tick) tick(window);
            RunProgressHook(window);
        }
        result = window.result();
    }
    g_running = false;
    g_cancel = 0;
    return result;
}

// Constant-initialised: CancelProgress may reach it from a signal handler.
const ProgressForm kTerminalForm = {&RunTerminal, &CancelTerminal};

}  // namespace

const ProgressForm& PlatformProgressForm() {
    return kTerminalForm;
}

}  // namespace glyphoria::platform
