// The keyboard subclass and the focus ring.
#include "dialogs/focus.h"

#include "dialogs/controls.h"
#include "dialogs/properties.h"
#include "dialogs/toolkit.h"

namespace glyphoria {

namespace {

bool WantsReturn(HWND control) {
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    return ControlType(control) == kTypeEdit && (style & ES_MULTILINE) && (style & ES_WANTRETURN);
}

LRESULT CALLBACK KeyboardProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    auto previous = reinterpret_cast<WNDPROC>(GetValueProperty(control, kPropOldWndProc));
    if (!previous) return DefWindowProcW(control, message, wparam, lparam);
    HWND top = TopLevelOf(control);
    switch (message) {
        case WM_GETDLGCODE:
            return CallWindowProcW(previous, control, message, wparam, lparam) | DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (wparam == VK_TAB) {
                SendMessageW(top, WM_SETFOCUS, reinterpret_cast<WPARAM>(control), 0);
                return 0;
            }
            if (wparam == VK_RETURN && !WantsReturn(control)) {
                SendMessageW(top, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
                return 0;
            }
            if (wparam == VK_ESCAPE) {
                SendMessageW(top, WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        case WM_CHAR:
            // The keys above are handled on key-down; their characters
            // would only beep or be typed.
            if (wparam == L'\t' || wparam == 27) return 0;
            if (wparam == L'\r' && !WantsReturn(control)) return 0;
            break;
        case WM_COMMAND:
        case WM_DRAWITEM:
            if (top != control) return SendMessageW(top, message, wparam, lparam);
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            SetValueProperty(control, kPropOldWndProc, 0);
            break;
        default:
            break;
    }
    return CallWindowProcW(previous, control, message, wparam, lparam);
}

struct Ring {
    HWND items[kMaxFocusCandidates];
    int count = 0;
};

bool IsUserPane(HWND window) {
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    return lstrcmpiW(name, kUserPaneClass) == 0;
}

void Collect(HWND parent, Ring& ring) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
        if ((style & WS_TABSTOP) && !IsUserPane(child)) {
            if (ring.count >= kMaxFocusCandidates) return;
            ring.items[ring.count++] = child;
        }
        Collect(child, ring);
    }
}

}  // namespace

void SubclassForKeyboard(HWND control) {
    if (!control || GetValueProperty(control, kPropOldWndProc)) return;
    LONG_PTR previous =
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeyboardProc));
    SetValueProperty(control, kPropOldWndProc, previous);
}

HWND NextFocusControl(HWND window, HWND reference, bool backwards) {
    if (!window) return nullptr;
    static Ring ring;  // 4 KB: kept off the stack of deep message handling
    ring.count = 0;
    Collect(window, ring);
    if (ring.count == 0) return nullptr;

    HWND parent = reference ? GetParent(reference) : nullptr;
    if (parent && ControlType(parent) == kTypeCombo) reference = parent;

    int index = -1;
    for (int i = 0; i < ring.count; ++i) {
        if (ring.items[i] == reference) {
            index = i;
            break;
        }
    }
    if (index < 0) return backwards ? ring.items[ring.count - 1] : ring.items[0];
    int next = backwards ? index - 1 : index + 1;
    if (next < 0) next = ring.count - 1;
    if (next >= ring.count) next = 0;
    return ring.items[next];
}

void MoveFocus(HWND window, HWND reference, bool backwards) {
    if (HWND next = NextFocusControl(window, reference, backwards)) FocusControl(next);
}

bool ShiftHeld() {
    return GetKeyState(VK_SHIFT) < 0;
}

}  // namespace glyphoria
