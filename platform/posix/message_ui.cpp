// Message boxes on POSIX: there is no window to show, so the box becomes a
// few lines on standard error and the first button answers.
#include "platform/message_ui.h"

#include <cstdio>

namespace glyphoria::platform {

int PresentMessageBox(const MessageBoxContent& box) {
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

}  // namespace glyphoria::platform
