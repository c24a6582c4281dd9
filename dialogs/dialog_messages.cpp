// Commands, ticks, focus moves and list drawing for every dialog form.
#include "dialogs/dialog_messages.h"

#include "platform/win32/windows_api.h"
// These need windows.h before them.
#include <commctrl.h>

#include <vector>

#include "dialogs/controls.h"
#include "dialogs/dialog_runtime.h"
#include "dialogs/focus.h"
#include "dialogs/properties.h"
#include "dialogs/toolkit.h"

namespace glyphoria {

namespace {

constexpr UINT_PTR kDialogTimer = 1;

void* UserData(HWND window) {
    return reinterpret_cast<void*>(GetValueProperty(window, kPropUser));
}

void DrawItemText(HDC dc, HWND list, int index, const RECT* rect, void*) {
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return;
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(text.data()));
    if (copied <= 0 || copied > length) return;
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, rect->left + 2, rect->top + 2, text.data(), static_cast<int>(copied));
}

}  // namespace

int HandleDialogCommand(HWND dialog, WPARAM wparam, LPARAM lparam) {
    RememberNotificationCode(wparam);
    const int id = LOWORD(wparam);
    const int code = HIWORD(wparam);
    HWND control = reinterpret_cast<HWND>(lparam);
    const bool typed = control == nullptr;
    if (!control && (id == IDOK || id == IDCANCEL)) control = FindControl(dialog, id);

    bool handled = false;
    if (control) {
        auto proc =
            reinterpret_cast<ControlCommandProc>(GetValueProperty(control, kPropCommandProc));
        const FourCC type = ControlType(control);
        const bool list_like = type == kTypeCombo || type == kTypePopup;
        if (proc && (!list_like || code == CBN_CLOSEUP))
            handled = proc(control, dialog, UserData(control)) != 0;
    }
    if (handled) return 0;
    if (id == IDCANCEL) return IDCANCEL;
    if (id == IDOK) {
        // Return in a field confirms only a dialog that can be confirmed.
        if (typed && (!control || !IsWindowEnabled(control))) return 0;
        return IDOK;
    }
    return 0;
}

void HandleDialogTimer(HWND dialog, WPARAM timer) {
    if (timer != kDialogTimer) return;
    auto tick = reinterpret_cast<DialogTickProc>(GetValueProperty(dialog, kPropTimerProc));
    if (tick) tick(dialog, UserData(dialog));
}

bool HandleFocusFromControl(HWND dialog, HWND from) {
    if (!from || from == dialog || !IsChild(dialog, from)) return false;
    MoveFocus(dialog, from, ShiftHeld());
    return true;
}

bool DrawListItem(const DRAWITEMSTRUCT* item) {
    if (!item || item->CtlType != ODT_LISTBOX) return false;
    RECT rect = item->rcItem;
    FillRect(item->hDC, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (static_cast<int>(item->itemID) >= 0) {
        HWND list = item->hwndItem;
        auto drawer = reinterpret_cast<ListItemDrawer>(GetValueProperty(list, kPropDrawItem));
        (drawer ? drawer : DrawItemText)(item->hDC, list, static_cast<int>(item->itemID), &rect,
                                         UserData(list));
    }
    if (item->itemState & ODS_SELECTED) InvertRect(item->hDC, &rect);
    return true;
}

bool IsTabSelectionChange(LPARAM lparam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lparam);
    return header && header->code == static_cast<UINT>(kTabSelectionChanged);
}

void FocusFirstControl(HWND dialog) {
    if (HWND first = NextFocusControl(dialog, nullptr, false)) FocusControl(first);
}

}  // namespace glyphoria
