// Modeless described dialogs.
#include "dialogs/modeless.h"

#include "dialogs/description.h"
#include "dialogs/dialog_messages.h"
#include "dialogs/properties.h"
#include "dialogs/toolkit.h"

namespace glyphoria {

namespace {

using platform::win32::Widen;

constexpr wchar_t kModelessClass[] = L"ModelessDialog";
constexpr UINT_PTR kDialogTimer = 1;

struct Creation {
    const char* name;
    ModelessStartProc start;
    void* data;
};

void* UserData(HWND window) {
    return reinterpret_cast<void*>(GetValueProperty(window, kPropUser));
}

void Notify(HWND window, FourCC code) {
    if (auto proc = reinterpret_cast<ModelessNotifyProc>(GetValueProperty(window, code)))
        proc(window, UserData(window));
}

LRESULT CALLBACK ModelessProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
            const auto* creation = static_cast<const Creation*>(create->lpCreateParams);
            SetValueProperty(window, kPropUser, reinterpret_cast<std::intptr_t>(creation->data));
            BuildDescribedWindow(window, creation->name);
            CentreWindow(window);
            FocusFirstControl(window);
            if (creation->start) creation->start(window, creation->data);
            return 0;
        }
        case WM_CLOSE: {
            auto close = reinterpret_cast<ModelessCloseProc>(GetValueProperty(window, kPropClose));
            if (!close || close(window, UserData(window)) == 0) DestroyWindow(window);
            return 0;
        }
        case WM_MOVE:
            Notify(window, kPropMoved);
            return 0;
        case WM_DESTROY:
            Notify(window, kPropDestroy);
            FreeStringProperties(window);
            KillTimer(window, kDialogTimer);
            return 0;
        case WM_COMMAND:
            if (HandleDialogCommand(window, wparam, lparam)) PostMessageW(window, WM_CLOSE, 0, 0);
            return 0;
        case WM_NOTIFY:
            if (IsTabSelectionChange(lparam)) MessageBeep(MB_OK);
            return 0;
        case WM_TIMER:
            HandleDialogTimer(window, wparam);
            return 0;
        case WM_SETFOCUS:
            if (HandleFocusFromControl(window, reinterpret_cast<HWND>(wparam))) return 0;
            break;
        case WM_DRAWITEM:
            if (DrawListItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

bool RegisterModelessClass() {
    static ATOM atom = 0;
    if (atom) return true;
    WNDCLASSEXW type = {};
    type.cbSize = sizeof type;
    type.style = CS_HREDRAW | CS_VREDRAW;
    type.lpfnWndProc = ModelessProc;
    type.hInstance = ToolkitInstance();
    type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = kModelessClass;
    atom = RegisterClassExW(&type);
    return atom != 0;
}

}  // namespace

HWND OpenModelessDialog(const char* name, ModelessStartProc start, ModelessCloseProc close,
                        void* data, HWND owner) {
    RegisterToolkitClasses();
    if (!RegisterModelessClass()) return nullptr;
    if (!owner) {
        HWND active = GetActiveWindow();
        owner = active ? GetAncestor(active, GA_ROOTOWNER) : nullptr;
    }
    Creation creation = {name ? name : "", start, data};
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kModelessClass, Widen(creation.name).c_str(),
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU, 100, 100, 200, 200, owner,
                                  nullptr, ToolkitInstance(), &creation);
    if (!window) return nullptr;
    SetValueProperty(window, kPropClose, reinterpret_cast<std::intptr_t>(close));
    ShowWindow(window, SW_SHOW);
    return window;
}

void SetModelessDestroyProc(HWND window, ModelessNotifyProc proc) {
    SetValueProperty(window, kPropDestroy, reinterpret_cast<std::intptr_t>(proc));
}

void SetModelessMovedProc(HWND window, ModelessNotifyProc proc) {
    SetValueProperty(window, kPropMoved, reinterpret_cast<std::intptr_t>(proc));
}

}  // namespace glyphoria
