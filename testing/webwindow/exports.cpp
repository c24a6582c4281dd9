// The library's exported C entries (webwindow_api.h), thin over WebWindow.
#include <algorithm>
#include <cstring>

#include "testing/webwindow/web_window.h"
#include "testing/webwindow/webwindow_api.h"

using glyphoria::testing::webwindow::WebWindow;

extern "C" {

// The plug-in looks the entry up by the name "main". A C++ function cannot
// carry that name with this signature without the compiler treating it as
// the program's main, so the symbol gets its name from an assembler label.
int32_t glyphoria_webwindow_main(const char* command, intptr_t argument) __asm__("main");

__attribute__((visibility("default"))) int32_t glyphoria_webwindow_main(const char* command,
                                                                        intptr_t argument) {
    return WebWindow::Instance().Command(command, argument);
}

__attribute__((visibility("default"))) int32_t glyphoria_webwindow_act(const char* action,
                                                                       const char* argument) {
    return WebWindow::Instance().Act(action, argument);
}

__attribute__((visibility("default"))) size_t glyphoria_webwindow_record(char* buffer,
                                                                         size_t capacity) {
    std::string record = WebWindow::Instance().Record();
    if (buffer && capacity > 0) {
        size_t count = std::min(record.size(), capacity - 1);
        std::memcpy(buffer, record.data(), count);
        buffer[count] = '\0';
    }
    return record.size();
}

__attribute__((visibility("default"))) int32_t glyphoria_webwindow_control(const char* setting,
                                                                           const char* value) {
    return WebWindow::Instance().Control(setting, value);
}

}  // extern "C"
