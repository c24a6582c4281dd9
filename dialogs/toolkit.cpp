// Process-wide state of the toolkit: module, host window, centring and the
// last notification code.
#include "dialogs/toolkit.h"

#include "support/host_window.h"

namespace glyphoria {

namespace {
int g_last_notification = 0;
}  // namespace

HINSTANCE ToolkitInstance() {
    static const HINSTANCE instance = [] {
        HMODULE module = nullptr;
        // The module this function lives in, not the program that loaded it.
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&ToolkitInstance), &module);
        return module;
    }();
    return instance;
}

HWND HostMainWindow() {
    return static_cast<HWND>(HostWindowHandle());
}

void CentreWindow(HWND window) {
    RECT rect;
    if (!window || !GetWindowRect(window, &rect)) return;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 4;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int LastNotificationCode() {
    return g_last_notification;
}

void RememberNotificationCode(WPARAM command) {
    g_last_notification = HIWORD(command);
}

HWND TopLevelOf(HWND window) {
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    return root ? root : window;
}

}  // namespace glyphoria
