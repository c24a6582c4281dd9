// The console form of the message box, and the form set in its place.
#include "platform/message_ui.h"

#include <cstdio>

namespace glyphoria::platform {

namespace {

MessageBoxForm g_form = nullptr;

int PresentOnConsole(const MessageBoxContent& box) {
    // fputs, not fprintf: the texts may hold '%' and must print as they are.
    std::fputs("Glyphoria: ", stderr);
    std::fputs(box.text.c_str(), stderr);
    std::fputs("\n", stderr);
    if (!box.detail.empty()) {
        std::fputs("\n", stderr);
        std::fputs(box.detail.c_str(), stderr);
        std::fputs("\n", stderr);
    }
    std::fflush(stderr);
    return 1;
}

}  // namespace

int PresentMessageBox(const MessageBoxContent& box) {
    return g_form ? g_form(box) : PresentOnConsole(box);
}

MessageBoxForm SetMessageBoxForm(MessageBoxForm form) {
    const MessageBoxForm before = g_form;
    g_form = form;
    return before;
}

}  // namespace glyphoria::platform
