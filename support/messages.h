// The message service: every message the user sees is a string-table key
// formatted with arguments (the key itself when the table has none) and shown
// with one to three buttons. Returns the closing button: 1 first ("ok"/"yes"),
// 2 second ("no"/"cancel") or the window's close control, 3 third.
//
// Two pending texts, main and detail, are process-wide; setting one replaces
// it and every box consumes both. How a box looks is the platform's
// (platform/message_ui.h); tests can observe and answer every box through
// SetMessageBoxHook.
#pragma once

#include <boost/function.hpp>
#include <string>

namespace glyphoria {

// A null key shows the pending main text as it was set (SetMessageText).
// AskYesNoCancel's third button is "cancel" (result 3).
int ShowMessage(const char* key, ...);
int AskYesNo(const char* key, ...);
int AskYesNoCancel(const char* key, ...);
int AskOkCancel(const char* key, ...);
// A null key clears the pending text.
void SetMessageText(const char* key, ...);
void SetMessageDetail(const char* key, ...);
// The system's text for the error code (0: the last error) shown as text,
// never used as a format.
int ShowSystemError(int code);

// What a box shows, in UTF-8.
struct MessageBox {
    std::string text;
    std::string detail;
    std::string button_keys[3];   // "ok", "cancel", "yes", "no" or empty
    std::string button_texts[3];  // their localised captions
};

// A hook sees every box instead of the platform and returns its answer.
// An empty hook restores the platform's box.
using MessageBoxHook = boost::function<int(const MessageBox&)>;
void SetMessageBoxHook(const MessageBoxHook& hook);

}  // namespace glyphoria
