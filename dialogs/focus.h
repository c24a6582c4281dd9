// Keyboard behaviour of toolkit dialogs: the keyboard subclass of controls
// and the focus ring.
//
// A subclassed control (push buttons, check boxes, radio buttons, edit
// fields, group boxes, list boxes, tab controls) claims all keys. Tab sends
// its top-level window WM_SETFOCUS naming the control, and the window moves
// the focus on (MoveFocus, backwards while Shift is held); Return sends the
// command with identifier 1, except in a multi-line edit field that wants
// Return; Escape sends WM_CLOSE. Commands (and owner-drawn items) that reach
// a subclassed container are passed on to the top-level window. The previous
// window procedure is kept as the control's 'wprc' value.
//
// The focus ring: the window's visible, enabled tab-stop controls in
// depth-first window order (a hidden or disabled window hides its whole
// subtree; a "UserPane" is never one itself but its children are visited),
// at most kMaxFocusCandidates of them.
#pragma once

#include "platform/win32/windows_api.h"

namespace glyphoria {

constexpr int kMaxFocusCandidates = 511;

void SubclassForKeyboard(HWND control);

// The control the focus goes to from the reference: the next candidate, or
// the previous one backwards, wrapping at either end. The edit field of an
// editable combo box stands for its combo box. A reference outside the ring
// gives the first candidate (backwards: the last). Null when the ring is
// empty.
HWND NextFocusControl(HWND window, HWND reference, bool backwards);
// Focuses NextFocusControl (an edit field with its text selected); nothing
// when the ring is empty.
void MoveFocus(HWND window, HWND reference, bool backwards);

// True when Shift is held for the message being handled.
bool ShiftHeld();

}  // namespace glyphoria
