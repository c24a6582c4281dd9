// Modeless dialogs: tool windows of the class "ModelessDialog" built from a
// window description, living beside the host's windows until closed.
//
// The owner is the given window, else the root owner of the active window.
// On creation the data becomes the window's 'user' value, the window is
// built and centred and the start procedure runs. Closing asks the close
// procedure ('clos'): the window is destroyed when there is none or it
// returns 0. Moving calls 'movd', destruction 'dstr' (both with the window
// and its 'user' data, when set), then the string properties are freed and
// the timer stops. Commands (an unhandled 1 or 2 closes the window), the
// focus ring, the timer and list drawing work as in dialog_runtime.h; a
// change of tab beeps.
#pragma once

#include "platform/win32/windows_api.h"

namespace glyphoria {

using ModelessStartProc = void (*)(HWND window, void* data);
// Returns non-zero to keep the window open.
using ModelessCloseProc = int (*)(HWND window, void* data);
using ModelessNotifyProc = void (*)(HWND window, void* data);

HWND OpenModelessDialog(const char* name, ModelessStartProc start, ModelessCloseProc close,
                        void* data, HWND owner);
void SetModelessDestroyProc(HWND window, ModelessNotifyProc proc);
void SetModelessMovedProc(HWND window, ModelessNotifyProc proc);

}  // namespace glyphoria
