// The portable half of the message service: formats keys into the pending
// texts, picks the buttons and their captions, and hands the box to the hook
// or to the platform.
#include "support/messages.h"

#include <cstdarg>
#include <cstring>
#include <utility>

#include "platform/message_ui.h"
#include "platform/system_error.h"
#include "support/limits.h"
#include "support/string_table.h"
#include "support/text_convert.h"

namespace glyphoria {

namespace {

// Pending texts: set by the key operations, consumed by the next box.
std::string g_main_text;
std::string g_detail_text;
MessageBoxHook g_hook;

struct Buttons {
    const char* keys[3];
};
constexpr Buttons kOk = {{"ok", nullptr, nullptr}};
constexpr Buttons kYesNo = {{"yes", "no", nullptr}};
// The third button of a three-way question cancels it, as its key says.
constexpr Buttons kYesNoCancel = {{"yes", "no", "cancel"}};
constexpr Buttons kOkCancel = {{"ok", "cancel", nullptr}};

// Result of closing the box without a button (the close control).
constexpr int kClosed = 2;

std::string FormatKey(const char* key, std::va_list args) {
    char text[kMessageBufferSize];
    FormatLocalizedUtf8V(text, sizeof text, key, args);
    return text;
}

// Only the box's own buttons and the close result can come back.
int Checked(int result, int button_count) {
    if (result == kClosed || (result >= 1 && result <= button_count)) return result;
    return kClosed;
}

int Show(const Buttons& buttons) {
    ShownMessage box;
    // Both pending texts belong to this box alone, even if showing it leads
    // to another message.
    box.text = std::move(g_main_text);
    box.detail = std::move(g_detail_text);
    g_main_text.clear();
    g_detail_text.clear();

    int count = 0;
    for (int i = 0; i < 3; ++i) {
        const char* key = buttons.keys[i];
        if (!key) continue;
        char caption[kValueBufferSize];
        GetLocalizedText(key, caption, sizeof caption);
        box.button_keys[i] = key;
        box.button_texts[i] = caption;
        count = i + 1;
    }

    int result = 0;
    if (g_hook) {
        // A copy: the hook may replace itself while it runs.
        MessageBoxHook hook = g_hook;
        result = hook(box);
    } else {
        platform::MessageBoxContent content;
        content.text = box.text;
        content.detail = box.detail;
        for (int i = 0; i < 3; ++i) {
            content.buttons[i] = box.button_texts[i];
            content.button_keys[i] = box.button_keys[i];
        }
        result = platform::PresentMessageBox(content);
    }
    return Checked(result, count);
}

int ShowKey(const Buttons& buttons, const char* key, std::va_list args) {
    if (key) g_main_text = FormatKey(key, args);
    return Show(buttons);
}

}  // namespace

int ShowMessage(const char* key, ...) {
    std::va_list args;
    va_start(args, key);
    int result = ShowKey(kOk, key, args);
    va_end(args);
    return result;
}

int AskYesNo(const char* key, ...) {
    std::va_list args;
    va_start(args, key);
    int result = ShowKey(kYesNo, key, args);
    va_end(args);
    return result;
}

int AskYesNoCancel(const char* key, ...) {
    std::va_list args;
    va_start(args, key);
    int result = ShowKey(kYesNoCancel, key, args);
    va_end(args);
    return result;
}

int AskOkCancel(const char* key, ...) {
    std::va_list args;
    va_start(args, key);
    int result = ShowKey(kOkCancel, key, args);
    va_end(args);
    return result;
}

void SetMessageText(const char* key, ...) {
    if (!key) {
        g_main_text.clear();
        return;
    }
    std::va_list args;
    va_start(args, key);
    g_main_text = FormatKey(key, args);
    va_end(args);
}

void SetMessageDetail(const char* key, ...) {
    if (!key) {
        g_detail_text.clear();
        return;
    }
    std::va_list args;
    va_start(args, key);
    g_detail_text = FormatKey(key, args);
    va_end(args);
}

int ShowSystemError(int code) {
    // Read first: anything below may change the last error.
    std::string text = platform::SystemErrorText(code);
    // The system's words are shown as they are; used as a format, a '%' in
    // them would read arguments that were never passed.
    text.resize(Utf8PrefixLength(text.data(), text.size(), kMessageBufferSize - 1));
    g_main_text = std::move(text);
    return Show(kOk);
}

void SetMessageBoxHook(const MessageBoxHook& hook) {
    g_hook = hook;
}

}  // namespace glyphoria
