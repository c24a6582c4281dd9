// The document actions the rest of the plug-in starts: trying a shop font on
// the selected frames and restoring tried frames. The command bridge, the menu
// action and the Mac sampler window call these; everything runs on the host's
// user-interface thread.
//
// TryFont shows at most one message ("noselection") and never loses a frame's
// text: a frame whose preview or placement fails stays as it was. Each tried or
// restored frame is one undo step of the host.
#pragma once

namespace glyphoria {

// Who shows the actions' messages, keyed by the string table: the message
// service (support/messages.h) unless another form is set. The Mac form sets
// its alerts (mac/mac_alerts.h), keyed by its own string dictionary, as the
// rest of that form speaks. A null form puts the message service back.
using ActionMessageForm = int (*)(const char* key, ...);
void SetActionMessageForm(ActionMessageForm form);
ActionMessageForm ActionMessages();

// Tries the font named by the try argument (a query string, optionally behind
// a "?", carrying at least "id") on every selected frame of the front document.
void TryFont(const char* try_argument);

// The "doRevert" command: restores every selected labelled frame; the argument
// is not used. Shows "noselection" when nothing could be counted.
void RevertFrames(const char* argument);

// The restore menu's test: true when at least one selected page item carries a
// non-empty frame label.
bool CanRestoreSelection();

// The restore menu's action: restores the selected frames in selection order,
// stopping at the first one that fails. No message.
void RestoreSelectedFrames();

}  // namespace glyphoria
