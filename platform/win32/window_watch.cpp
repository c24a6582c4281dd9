// A thread-local CBT hook: the system calls it when a window of this thread
// is activated and before it destroys one, while the window still has its
// caption and its controls, so what is recorded is what the user last saw.
// Only windows that were once active are recorded: the system's hidden
// helper windows (input method, COM) come and go with the dialogs too.
#include <mutex>
#include <set>

#include "platform/win32/windows_api.h"
#include "platform/window_watch.h"

#include <commctrl.h>

namespace glyphoria::platform {

namespace {

HHOOK g_hook = nullptr;
std::mutex g_mutex;
std::vector<WatchedWindow> g_windows;
std::set<HWND> g_activated;

std::string ClassOf(HWND window) {
    wchar_t name[256] = {};
    int n = GetClassNameW(window, name, static_cast<int>(sizeof name / sizeof name[0]));
    return n > 0 ? win32::Narrow(name) : std::string();
}

std::string TextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::string();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int n = GetWindowTextW(window, &text[0], length + 1);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return win32::Narrow(text.c_str());
}

BOOL CALLBACK AddControl(HWND control, LPARAM data) {
    auto* window = reinterpret_cast<WatchedWindow*>(data);
    WatchedControl c;
    c.id = GetDlgCtrlID(control);
    c.class_name = ClassOf(control);
    c.text = TextOf(control);
    if (lstrcmpiW(win32::Widen(c.class_name.c_str()).c_str(), PROGRESS_CLASSW) == 0) {
        c.is_progress_bar = true;
        c.range_high = static_cast<std::int64_t>(SendMessageW(control, PBM_GETRANGE, FALSE, 0));
        c.position = static_cast<std::int64_t>(SendMessageW(control, PBM_GETPOS, 0, 0));
    }
    window->controls.push_back(std::move(c));
    return TRUE;
}

LRESULT CALLBACK OnCbt(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_activated.insert(reinterpret_cast<HWND>(wparam));
    } else if (code == HCBT_DESTROYWND) {
        HWND window = reinterpret_cast<HWND>(wparam);
        bool was_active = false;
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            was_active = g_activated.erase(window) > 0;
        }
        if (was_active && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0) {
            WatchedWindow w;
            w.class_name = ClassOf(window);
            w.title = TextOf(window);
            EnumChildWindows(window, &AddControl, reinterpret_cast<LPARAM>(&w));
            std::lock_guard<std::mutex> lock(g_mutex);
            g_windows.push_back(std::move(w));
        }
    }
    return CallNextHookEx(g_hook, code, wparam, lparam);
}

}  // namespace

bool StartWindowWatch() {
    if (g_hook) return true;
    g_hook = SetWindowsHookExW(WH_CBT, &OnCbt, nullptr, GetCurrentThreadId());
    return g_hook != nullptr;
}

std::vector<WatchedWindow> TakeWatchedWindows() {
    std::lock_guard<std::mutex> lock(g_mutex);
    std::vector<WatchedWindow> taken;
    taken.swap(g_windows);
    return taken;
}

void StopWindowWatch() {
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_activated.clear();
}

}  // namespace glyphoria::platform
