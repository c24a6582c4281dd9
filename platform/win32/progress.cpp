// The progress window as a small modal Win32 window: the title as its
// caption and text, a progress bar (control 3) and a cancel button (control
// 2), driven by window timers on the calling thread.
//
// The window's owner (the active window of the thread) is disabled while it
// runs, as a modal dialog's is. Ticks are WM_TIMER messages: the system
// merges late ones, so a slow tick never causes a burst. A WM_QUIT that
// arrives meanwhile ends the window as cancelled and is posted again for the
// caller's own loop.
#include <atomic>
#include <climits>
#include <mutex>

#include "platform/progress.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

namespace glyphoria::platform {

namespace {

constexpr int kBarId = 3;
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT_PTR kIdleTimer = 2;  // runs the hook while there is no tick
constexpr UINT kIdleIntervalMs = 10;
constexpr UINT kWakeMessage = WM_APP + 1;
constexpr wchar_t kClassName[] = L"GlyphoriaProgress";

std::atomic<bool> g_cancel{false};
std::atomic<HWND> g_window{nullptr};

std::mutex g_hook_mutex;
ProgressProc g_hook;

ProgressProc CurrentHook() {
    std::lock_guard<std::mutex> lock(g_hook_mutex);
    return g_hook;
}

class Win32ProgressWindow : public ProgressWindow {
  public:
    void Attach(HWND window, HWND bar) {
        window_ = window;
        bar_ = bar;
    }
    void SetTitle(const char* text) override {
        title_ = text ? text : "";
        if (window_) {
            std::wstring wide = win32::Widen(title_.c_str());
            SetWindowTextW(window_, wide.c_str());
        }
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
        if (!window_) return;
        KillTimer(window_, kIdleTimer);
        SetTimer(window_, kTickTimer, interval_ms ? interval_ms : 1, nullptr);
        ticking_ = true;
    }
    void End(int result) override {
        if (ended_) return;
        ended_ = true;
        result_ = result;
        if (window_) {
            KillTimer(window_, kTickTimer);
            KillTimer(window_, kIdleTimer);
        }
    }
    const std::string& title() const override { return title_; }
    std::uint64_t range() const override { return range_; }
    std::uint64_t position() const override { return position_; }
    bool ended() const override { return ended_; }

    int result() const { return result_; }
    bool ticking() const { return ticking_; }

    ProgressProc tick;

  private:
    void Redraw() {
        if (!bar_) return;
        // Without a total the bar has nothing to be a part of: it stays empty.
        std::uint64_t shown = range_ == 0 ? 0 : (position_ < range_ ? position_ : range_);
        SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(shown >> shift_), 0);
    }

    HWND window_ = nullptr;
    HWND bar_ = nullptr;
    std::string title_;
    std::uint64_t range_ = 0;
    std::uint64_t position_ = 0;
    unsigned shift_ = 0;
    bool ticking_ = false;
    bool ended_ = false;
    int result_ = kProgressFailed;
};

void RunHook(Win32ProgressWindow& window) {
    if (ProgressProc hook = CurrentHook()) hook(window);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* window = reinterpret_cast<Win32ProgressWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_TIMER:
            if (!window || window->ended()) return 0;
            if (wparam == kTickTimer && window->tick) window->tick(*window);
            if (wparam == kTickTimer || wparam == kIdleTimer) RunHook(*window);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDCANCEL && window) window->End(kProgressFailed);
            return 0;
        case WM_CLOSE:
            if (window) window->End(kProgressFailed);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

bool RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateProgressWindow(HINSTANCE instance, HWND owner, HWND* bar) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (!RegisterWindowClass(instance)) return nullptr;
    HWND hwnd = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, L"",
                                WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, CW_USEDEFAULT,
                                CW_USEDEFAULT, 360, 130, owner, nullptr, instance, nullptr);
    if (!hwnd) return nullptr;
    *bar =
        CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 12, 14, 320, 18, hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)), instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                    132, 46, 90, 26, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)),
                    instance, nullptr);
    return hwnd;
}

}  // namespace

void CancelProgress() {
    HWND window = g_window.load();
    if (!window) return;
    g_cancel = true;
    PostMessageW(window, kWakeMessage, 0, 0);
}

void SetProgressHook(const ProgressProc& hook) {
    std::lock_guard<std::mutex> lock(g_hook_mutex);
    g_hook = hook;
}

int RunProgress(const ProgressProc& start, const ProgressProc& tick) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND owner = GetActiveWindow();
    HWND bar = nullptr;
    HWND hwnd = CreateProgressWindow(instance, owner, &bar);
    if (!hwnd) return kProgressFailed;

    Win32ProgressWindow window;
    window.Attach(hwnd, bar);
    window.tick = tick;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&window));
    const bool owner_was_enabled = owner && IsWindowEnabled(owner);
    if (owner_was_enabled) EnableWindow(owner, FALSE);

    g_cancel = false;
    g_window = hwnd;
    if (start) start(window);
    RunHook(window);
    if (!window.ended() && !window.ticking()) SetTimer(hwnd, kIdleTimer, kIdleIntervalMs, nullptr);

    MSG msg;
    while (!window.ended()) {
        if (g_cancel) {
            window.End(kProgressFailed);
            break;
        }
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is quitting: this window ends, the caller's loop
            // must still see the quit.
            window.End(kProgressFailed);
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) {
            window.End(kProgressFailed);
            break;
        }
        if (!IsDialogMessageW(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    g_window = nullptr;
    g_cancel = false;
    // The owner is enabled before the window goes, so activation returns
    // to it rather than to another program.
    if (owner_was_enabled) EnableWindow(owner, TRUE);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
    return window.result();
}

}  // namespace glyphoria::platform
