// Described modal dialogs on the template "MyDialog".
#include "dialogs/dialog_runtime.h"

#include "platform/win32/windows_api.h"
// These need windows.h before them.
#include <ole2.h>

#include "dialogs/controls.h"
#include "dialogs/description.h"
#include "dialogs/dialog_messages.h"
#include "dialogs/focus.h"
#include "dialogs/properties.h"
#include "dialogs/toolkit.h"

namespace glyphoria {

namespace {

using platform::win32::Widen;

constexpr UINT_PTR kDialogTimer = 1;

struct Start {
    const char* name;
    DialogStartProc proc;
    void* data;
};

INT_PTR CALLBACK DescribedDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* start = reinterpret_cast<const Start*>(lparam);
            SetValueProperty(dialog, kPropUser, reinterpret_cast<std::intptr_t>(start->data));
            if (!BuildDescribedWindow(dialog, start->name))
                SetWindowTextW(dialog, Widen(start->name).c_str());
            CentreWindow(dialog);
            FocusFirstControl(dialog);
            if (start->proc) start->proc(dialog, start->data);
            return FALSE;  // the focus is placed already
        }
        case WM_COMMAND:
            if (int end = HandleDialogCommand(dialog, wparam, lparam))
                EndDescribedDialog(dialog, end);
            return TRUE;
        case WM_TIMER:
            HandleDialogTimer(dialog, wparam);
            return TRUE;
        case WM_NEXTDLGCTL:
            // Tab in a control without the keyboard subclass (combo boxes,
            // pop-up menus) reaches the dialog manager: keep it on the ring.
            if (LOWORD(lparam)) return FALSE;
            MoveFocus(dialog, GetFocus(), wparam != 0);
            return TRUE;
        case WM_SETFOCUS:
            return HandleFocusFromControl(dialog, reinterpret_cast<HWND>(wparam)) ? TRUE : FALSE;
        case WM_DRAWITEM:
            return DrawListItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)) ? TRUE : FALSE;
        case WM_CLOSE:
            EndDescribedDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_DESTROY:
            RevokeDragDrop(dialog);
            KillTimer(dialog, kDialogTimer);
            FreeStringProperties(dialog);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int RunDescribedDialog(const char* name, DialogStartProc start, void* data) {
    RegisterToolkitClasses();
    HWND focus = GetFocus();
    HWND active = GetActiveWindow();
    HWND owner = HostMainWindow();
    if (!owner && active) owner = GetWindow(active, GW_OWNER);
    const bool owner_was_enabled = owner && IsWindowEnabled(owner);
    if (owner) EnableWindow(owner, FALSE);

    Start params = {name ? name : "", start, data};
    INT_PTR result = DialogBoxParamW(ToolkitInstance(), L"MyDialog", active, DescribedDialogProc,
                                     reinterpret_cast<LPARAM>(&params));

    if (owner && IsWindow(owner)) EnableWindow(owner, owner_was_enabled ? TRUE : FALSE);
    if (active && IsWindow(active)) SetActiveWindow(active);
    if (focus && IsWindow(focus)) SetFocus(focus);
    return static_cast<int>(result);
}

void EndDescribedDialog(HWND dialog, int result) {
    if (!dialog) return;
    KillTimer(dialog, kDialogTimer);
    EndDialog(dialog, result);
}

unsigned TimerMilliseconds(float seconds) {
    if (!(seconds > 0.0f)) return 0;
    // In float: 0.01 seconds is exactly 10 ms there, while the same float
    // widened to double is 9.99999… and would truncate to 9.
    return static_cast<unsigned>(seconds * 1000.0f);
}

void StartDialogTimer(HWND dialog, DialogTickProc tick, float seconds) {
    if (!dialog) return;
    SetValueProperty(dialog, kPropTimerProc, reinterpret_cast<std::intptr_t>(tick));
    SetTimer(dialog, kDialogTimer, TimerMilliseconds(seconds), nullptr);
}

void SetControlCommand(HWND dialog, FourCC key, ControlCommandProc proc, void* data) {
    HWND control = FindControl(dialog, key);
    if (!control) return;
    SetValueProperty(control, kPropCommandProc, reinterpret_cast<std::intptr_t>(proc));
    SetValueProperty(control, kPropUser, reinterpret_cast<std::intptr_t>(data));
}

void SetListItemDrawer(HWND list, ListItemDrawer drawer, void* data) {
    SetValueProperty(list, kPropDrawItem, reinterpret_cast<std::intptr_t>(drawer));
    SetValueProperty(list, kPropUser, reinterpret_cast<std::intptr_t>(data));
}

}  // namespace glyphoria
