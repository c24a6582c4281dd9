// How a message box is shown on this platform. The portable message service
// (support/messages.h) decides texts and buttons; this only presents them and
// returns the identifier of the button that closed the box (1, 2 or 3).
//
// Windows: the dialog toolkit's box (dialogs/message_box.h), its buttons
// captioned from their keys; closing it answers 2. POSIX: a console form that
// writes "Glyphoria: " and the text (and the detail after a blank line) to
// standard error and answers with the first button.
#pragma once

#include <string>

namespace glyphoria::platform {

struct MessageBoxContent {
    std::string text;     // UTF-8 main text
    std::string detail;   // UTF-8 detail; empty for none
    std::string buttons[3];  // localised button captions; empty for none
    std::string button_keys[3];  // "ok", "cancel", "yes", "no"; empty for none
};

int PresentMessageBox(const MessageBoxContent& box);

}  // namespace glyphoria::platform
