// Message boxes on Windows: the dialog toolkit's own box on the template
// "MsgBox" (dialogs/message_box.h), with the captions of the box's buttons
// and the result the message service wants (1, 2 or 3; closing gives 2).
#include "platform/message_ui.h"

#include "dialogs/message_box.h"

namespace glyphoria::platform {

int PresentMessageBox(const MessageBoxContent& box) {
    return ShowMessageBox(box);
}

}  // namespace glyphoria::platform
