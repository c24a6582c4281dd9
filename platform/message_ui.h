// How a message box is shown. The portable message service
// (support/messages.h) decides texts and buttons; the box's form only
// presents them and returns the identifier of the button that closed the box
// (1, 2 or 3).
//
// The platform's own form is a console one: "Glyphoria: " and the text (and
// the detail after a blank line) on standard error, answered with the first
// button. A layer above may put a form of its own in its place at start-up:
// the Windows module shows the dialog toolkit's "MsgBox" (dialogs/forms.h),
// so this layer never depends on the toolkit.
#pragma once

#include <string>

namespace glyphoria::platform {

struct MessageBoxContent {
    std::string text;            // UTF-8 main text
    std::string detail;          // UTF-8 detail; empty for none
    std::string buttons[3];      // localised button captions; empty for none
    std::string button_keys[3];  // "ok", "cancel", "yes", "no"; empty for none
};

int PresentMessageBox(const MessageBoxContent& box);

// The form PresentMessageBox uses from now on; null puts the console form
// back. Returns the form it replaces (null: the console form).
// User-interface thread only.
using MessageBoxForm = int (*)(const MessageBoxContent& box);
MessageBoxForm SetMessageBoxForm(MessageBoxForm form);

}  // namespace glyphoria::platform
