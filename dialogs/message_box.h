// The toolkit's message box: the dialog template "MsgBox" filled with the
// message service's texts and buttons (support/messages.h decides what a box
// says; on Windows it is the platform's message box form, forms.h).
//
// Beeps, disables the host's main window while the box runs (restored
// afterwards, with the focus), titles the box "Glyphoria" and shows the main
// text — followed by "\r\r" and the detail when there is one — in the static
// text 10. The box grows (or shrinks) by the height the text needs with word
// wrapping in the control's width, and is centred as every toolkit dialog.
// Buttons 1, 2 and 3 carry the captions of their keys; a button without a
// key is hidden. The result is the identifier of the button pressed; closing
// the box (or Escape) gives 2.
#pragma once

#include "platform/message_ui.h"

namespace glyphoria {

int ShowMessageBox(const platform::MessageBoxContent& box);

}  // namespace glyphoria
