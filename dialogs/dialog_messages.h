// Message handling shared by the toolkit's dialog forms (described,
// class-based and modeless): commands to control procedures, timer ticks,
// focus moves and owner-drawn list items.
#pragma once

#include "platform/win32/windows_api.h"

namespace glyphoria {

// Calls the control's command procedure as RunDescribedDialog describes.
// Returns the identifier (1 or 2) the dialog is to end with, or 0.
int HandleDialogCommand(HWND dialog, WPARAM wparam, LPARAM lparam);
// Timer 1: calls the dialog's 'timp' with its 'user' data.
void HandleDialogTimer(HWND dialog, WPARAM timer);
// WM_SETFOCUS naming a control of the dialog: moves the focus on from it.
// False when the focus did not come from one of the dialog's controls.
bool HandleFocusFromControl(HWND dialog, HWND from);
// Draws an item of an owner-drawn list box; false for other controls.
bool DrawListItem(const DRAWITEMSTRUCT* item);
// A WM_NOTIFY of a tab control whose selection changed.
bool IsTabSelectionChange(LPARAM lparam);
// Focuses the first control of the dialog's focus ring.
void FocusFirstControl(HWND dialog);

}  // namespace glyphoria
