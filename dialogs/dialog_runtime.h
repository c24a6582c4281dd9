// Modal dialogs built from window descriptions (description.h), with
// command procedures on their controls, a timer and owner-drawn lists.
//
// RunDescribedDialog disables the host's main window (or, without one, the
// owner of the active window), runs the template "MyDialog" modally with the
// active window as parent, builds it from the description (titled with the
// name when there is none), centres it, focuses the first control of its
// focus ring and calls the start procedure. Afterwards the owner's enabled
// state, the active window and the focus are restored.
//
// While it runs:
// - a command calls the control's command procedure ('cprc', with its 'user'
//   data): for combo boxes and pop-up menus only on close-up, for others on
//   every notification. Unless that returns non-zero, identifiers 1 and 2
//   end the dialog with the identifier. A command 1 that names no control
//   (Return typed in a field) ends it only when the dialog has an enabled
//   control with identifier 1: a window without an OK button, such as a
//   transfer's progress window, cannot be "confirmed" from the keyboard;
// - the timer calls its tick procedure with the dialog's 'user' data;
// - Tab moves the focus along the focus ring (focus.h), Escape and closing
//   end it with 2;
// - owner-drawn list items are drawn by the list's 'draw' procedure or by
//   the default drawer (its text at 2, 2);
// - on destruction the timer stops, a drop-target registration is revoked
//   and the string properties of the dialog's tree are freed.
#pragma once

#include "dialogs/four_cc.h"
#include "platform/win32/windows_api.h"

namespace glyphoria {

using DialogStartProc = void (*)(HWND dialog, void* data);
using DialogTickProc = void (*)(HWND dialog, void* data);
// Returns non-zero when it handled the command.
using ControlCommandProc = int (*)(HWND control, HWND dialog, void* data);
using ListItemDrawer = void (*)(HDC dc, HWND list, int index, const RECT* rect, void* data);

// The result the dialog was ended with; -1 when it could not be shown.
int RunDescribedDialog(const char* name, DialogStartProc start, void* data);
// Stops the dialog's timer and ends it with the result.
void EndDescribedDialog(HWND dialog, int result);
// The dialog's one timer (identifier 1); each tick calls tick(dialog, its
// 'user' data). Replaces a running one.
void StartDialogTimer(HWND dialog, DialogTickProc tick, float seconds);
// The timer period for an interval in seconds: × 1000, truncated.
unsigned TimerMilliseconds(float seconds);

// Stores the procedure as the control's 'cprc' and the data as its 'user'.
void SetControlCommand(HWND dialog, FourCC key, ControlCommandProc proc, void* data);
// Stores the drawer as the list's 'draw' and the data as its 'user'.
void SetListItemDrawer(HWND list, ListItemDrawer drawer, void* data);

}  // namespace glyphoria
