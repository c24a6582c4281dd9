#include "sampling/frame_actions.h"
#include "support/messages.h"

namespace glyphoria {

namespace {
ActionMessageForm g_form = nullptr;
}  // namespace

void SetActionMessageForm(ActionMessageForm form) {
    g_form = form;
}

ActionMessageForm ActionMessages() {
    return g_form ? g_form : &ShowMessage;
}

}  // namespace glyphoria
