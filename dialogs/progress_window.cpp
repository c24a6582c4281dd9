// The platform's progress window (platform/progress.h) as the "URLData"
// described dialog: its caption is the title, control 3 the bar, control 2
// the cancel button, and the dialog's own timer drives the ticks.
//
// The dialog runtime runs it modally (disabling the owner, restoring the
// focus after). The test hook runs on a second timer of the dialog with its
// own timer procedure, so the dialog's tick timer stays the only one the
// runtime knows about. Any result other than 1, including a dialog that
// could not be shown (-1), is a failure; so is a dialog ended by a quit
// message (the quit is posted again for the caller's loop), whatever result
// the dialog manager gives it.
#include "dialogs/progress_window.h"

#include <atomic>
#include <climits>

#include "dialogs/controls.h"
#include "dialogs/dialog_runtime.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

namespace glyphoria {

namespace {

using platform::kProgressDone;
using platform::kProgressFailed;
using platform::ProgressProc;
using platform::ProgressWindow;
using platform::win32::Widen;

constexpr int kBarId = 3;
constexpr UINT_PTR kIdleTimer = 2;  // runs the hook while there is no tick
constexpr UINT kIdleIntervalMs = 10;

std::atomic<HWND> g_dialog{nullptr};

class DialogProgressWindow : public ProgressWindow {
  public:
    explicit DialogProgressWindow(ProgressProc tick) : tick_(std::move(tick)) {}

    void Attach(HWND dialog) {
        dialog_ = dialog;
        bar_ = FindControl(dialog, kBarId);
    }
    void SetTitle(const char* text) override {
        title_ = text ? text : "";
        if (dialog_) SetWindowTextW(dialog_, Widen(title_.c_str()).c_str());
    }
    void SetRange(std::uint64_t high) override {
        range_ = high;
        // The bar takes an int: large totals are shifted down together with
        // the positions.
        shift_ = 0;
        while ((high >> shift_) > static_cast<std::uint64_t>(INT_MAX))
            ++shift_;
        if (bar_) SendMessageW(bar_, PBM_SETRANGE32, 0, static_cast<LPARAM>(high >> shift_));
        Redraw();
    }
    void SetPosition(std::uint64_t position) override {
        position_ = position;
        Redraw();
    }
    void StartTimer(unsigned interval_ms) override {
        if (!dialog_ || ended_) return;
        KillTimer(dialog_, kIdleTimer);
        StartDialogTimer(dialog_, &DialogProgressWindow::Tick,
                         static_cast<float>(interval_ms) / 1000.0f);
        ticking_ = true;
    }
    void End(int result) override {
        if (ended_) return;
        ended_ = true;
        result_ = result;
        if (dialog_) {
            KillTimer(dialog_, kIdleTimer);
            EndDescribedDialog(dialog_, result);
        }
    }
    const std::string& title() const override { return title_; }
    std::uint64_t range() const override { return range_; }
    std::uint64_t position() const override { return position_; }
    bool ended() const override { return ended_; }
    int result() const { return ended_ ? result_ : kProgressFailed; }

    static void Start(HWND dialog, void* data);
    static void Tick(HWND dialog, void* data);
    static void CALLBACK Idle(HWND dialog, UINT, UINT_PTR, DWORD);

    ProgressProc start;

  private:
    void RunHook() { platform::RunProgressHook(*this); }
    void Redraw() {
        if (!bar_) return;
        // Without a total the bar has nothing to be a part of: it stays empty.
        std::uint64_t shown = range_ == 0 ? 0 : (position_ < range_ ? position_ : range_);
        SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(shown >> shift_), 0);
    }

    ProgressProc tick_;
    HWND dialog_ = nullptr;
    HWND bar_ = nullptr;
    std::string title_;
    std::uint64_t range_ = 0;
    std::uint64_t position_ = 0;
    unsigned shift_ = 0;
    bool ticking_ = false;
    bool ended_ = false;
    int result_ = kProgressFailed;
};

DialogProgressWindow* g_running = nullptr;  // for the idle timer procedure

void DialogProgressWindow::Start(HWND dialog, void* data) {
    auto* window = static_cast<DialogProgressWindow*>(data);
    window->Attach(dialog);
    g_dialog = dialog;
    if (window->start) window->start(*window);
    window->RunHook();
    if (!window->ended_ && !window->ticking_)
        SetTimer(dialog, kIdleTimer, kIdleIntervalMs, &DialogProgressWindow::Idle);
}

void DialogProgressWindow::Tick(HWND, void* data) {
    auto* window = static_cast<DialogProgressWindow*>(data);
    if (!window || window->ended_) return;
    if (window->tick_) window->tick_(*window);
    window->RunHook();
}

void CALLBACK DialogProgressWindow::Idle(HWND dialog, UINT, UINT_PTR, DWORD) {
    DialogProgressWindow* window = g_running;
    if (!window || window->dialog_ != dialog || window->ended_) return;
    window->RunHook();
}

void CancelDialog() {
    // The cancel button's command: the runtime ends the dialog with 2.
    if (HWND dialog = g_dialog.load())
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

int RunDialog(const ProgressProc& start, const ProgressProc& tick) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    DialogProgressWindow window(tick);
    window.start = start;
    DialogProgressWindow* outer = g_running;
    g_running = &window;
    int result = RunDescribedDialog("URLData", &DialogProgressWindow::Start, &window);
    g_running = outer;
    g_dialog = nullptr;
    // Done only when a procedure ended it so: the dialog manager ends a
    // dialog on a quit message with a result of its own choosing.
    return result == kProgressDone && window.result() == kProgressDone ? kProgressDone
                                                                       : kProgressFailed;
}

const platform::ProgressForm kUrlDataForm = {&RunDialog, &CancelDialog};

}  // namespace

const platform::ProgressForm& UrlDataProgressForm() {
    return kUrlDataForm;
}

}  // namespace glyphoria
