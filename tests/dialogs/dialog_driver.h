// Plays the user for dialogs that run modally on the test's own thread: a
// thread timer, served by whatever modal loop is running, finds the thread's
// front dialog and runs the given steps on it, one per tick, so posted keys
// are handled before the next step looks at the result.
//
// A dialog still open 10 s after the driver started is closed (WM_CLOSE to
// each of the thread's windows), so a failing test ends instead of hanging.
#pragma once

#include <functional>
#include <vector>

#include "platform/win32/windows_api.h"

namespace glyphoria::testing {

using DialogStep = std::function<void(HWND dialog)>;

class DialogDriver {
  public:
    explicit DialogDriver(std::vector<DialogStep> steps);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // All steps ran.
    bool done() const { return next_ >= steps_.size(); }
    bool timed_out() const { return timed_out_; }

  private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<DialogStep> steps_;
    std::size_t next_ = 0;
    UINT_PTR timer_ = 0;
    DWORD started_ = 0;
    bool timed_out_ = false;
};

// The thread's front enabled, visible top-level window of a dialog class
// ("#32770", "MyDialog", "ModelessDialog"), or null.
HWND FrontDialog();

// Key presses as the keyboard delivers them to the focused window.
void PostKey(WPARAM key);
// Presses or releases Shift for the keys that follow.
void HoldShift(bool held);
// Handles whatever the thread's queue holds (posted messages).
void PumpMessages();

// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);

}  // namespace glyphoria::testing
