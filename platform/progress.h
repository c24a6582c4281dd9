// The modal progress window: a title, a bar with a range and a position, a
// cancel control, and a timer that drives the work in small steps so the
// interface stays responsive while it runs.
//
// RunProgress calls the start procedure once; the window then runs until a
// procedure calls End or the user cancels, and RunProgress returns the result
// (kProgressDone, or kProgressFailed for failure and cancel alike). Ticks come
// only after the start procedure has called StartTimer; without a timer the
// window simply waits for the user. All procedures run on the calling thread.
// One window at a time.
//
// Who shows the window is a form that can be set (SetProgressForm). The
// platform's own: POSIX paces ticks on absolute deadlines (no drift), draws
// a bar on standard error when it is a terminal (bytes, total, rate), nothing
// otherwise, and Ctrl-C cancels (the previous SIGINT handler is put back
// after). Windows has no window below the dialog toolkit: until a layer
// above sets its form, RunProgress fails at once without calling start. The
// Windows module and programs set the toolkit's "URLData" dialog at start-up
// (dialogs/forms.h), so this layer never depends on the toolkit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace glyphoria::platform {

constexpr int kProgressDone = 1;
constexpr int kProgressFailed = 2;  // failed or cancelled

class ProgressWindow {
  public:
    virtual ~ProgressWindow() = default;
    // Text as shown (UTF-8, already localised by the caller).
    virtual void SetTitle(const char* text) = 0;
    // The bar runs from 0 to high; 0 means the total is not known, and the
    // bar shows the position alone.
    virtual void SetRange(std::uint64_t high) = 0;
    virtual void SetPosition(std::uint64_t position) = 0;
    // Calls the tick procedure every interval_ms from now on.
    virtual void StartTimer(unsigned interval_ms) = 0;
    // Closes the window with this result after the current procedure returns.
    virtual void End(int result) = 0;

    virtual const std::string& title() const = 0;
    virtual std::uint64_t range() const = 0;
    virtual std::uint64_t position() const = 0;
    virtual bool ended() const = 0;
};

using ProgressProc = std::function<void(ProgressWindow&)>;

int RunProgress(const ProgressProc& start, const ProgressProc& tick);

// Cancels the running window as the user's cancel button would; safe from any
// thread and from a signal handler. Without a running window it does nothing.
void CancelProgress();

// Tests watch and steer the window: the hook runs after the start procedure
// and after every tick (every 10 ms while the window waits without a timer).
// An empty hook removes it.
void SetProgressHook(const ProgressProc& hook);

struct ProgressForm {
    int (*run)(const ProgressProc& start, const ProgressProc& tick);
    void (*cancel)();  // as CancelProgress: any thread, signal handlers too
};

// The form RunProgress and CancelProgress use from now on; null puts the
// platform's own back. The form must outlive its use. Returns the form it
// replaces (null: the platform's own), so a caller can put it back.
const ProgressForm* SetProgressForm(const ProgressForm* form);
const ProgressForm& PlatformProgressForm();

// For forms: runs the test hook, if one is set, on their window.
void RunProgressHook(ProgressWindow& window);

}  // namespace glyphoria::platform
