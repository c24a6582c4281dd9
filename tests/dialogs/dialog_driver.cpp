#include "dialog_driver.h"

#include <string>

namespace glyphoria::testing {

namespace {
DialogDriver* g_driver = nullptr;
constexpr DWORD kGiveUpMs = 10000;

bool IsDialogClass(HWND window) {
    const std::wstring name = ClassOf(window);
    return name == L"#32770" || name == L"MyDialog" || name == L"ModelessDialog";
}
}  // namespace

DialogDriver::DialogDriver(std::vector<DialogStep> steps) : steps_(std::move(steps)) {
    g_driver = this;
    started_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, 15, OnTick);
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, timer_);
    g_driver = nullptr;
}

void CALLBACK DialogDriver::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_driver) g_driver->Tick();
}

void DialogDriver::Tick() {
    if (GetTickCount() - started_ > kGiveUpMs) {
        timed_out_ = true;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM) -> BOOL {
                if (IsDialogClass(window)) PostMessageW(window, WM_CLOSE, 0, 0);
                return TRUE;
            },
            0);
        return;
    }
    if (done()) return;
    HWND dialog = FrontDialog();
    if (!dialog) return;
    DialogStep step = steps_[next_++];
    step(dialog);
}

HWND FrontDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            if (!IsWindowVisible(window) || !IsWindowEnabled(window) || !IsDialogClass(window))
                return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void PostKey(WPARAM key) {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
}

void HoldShift(bool held) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

RECT RectInParent(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

}  // namespace glyphoria::testing
