// The library's exported C entries (webwindow_api.h), thin over the form's
// WebWindowLibrary (library.h). Both forms of the library build this file.
#include <algorithm>
#include <cstring>

#include "testing/webwindow/library.h"
#include "testing/webwindow/webwindow_api.h"

using glyphoria::testing::webwindow::TheLibrary;

// What leaves the library: an export of the DLL on Windows, a visible
// symbol elsewhere (exports.map keeps everything else local there).
#ifdef _WIN32
#define WEBWINDOW_EXPORT __declspec(dllexport)
#else
#define WEBWINDOW_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// The plug-in looks the entry up by the name "main". A C++ function cannot
// carry that name with this signature without the compiler treating it as
// the program's main, so the symbol gets its name from an assembler label.
int32_t glyphoria_webwindow_main(const char* command, intptr_t argument) __asm__("main");

WEBWINDOW_EXPORT int32_t glyphoria_webwindow_main(const char* command, intptr_t argument) {
    return TheLibrary().Command(command, argument);
}

WEBWINDOW_EXPORT int32_t glyphoria_webwindow_act(const char* action, const char* argument) {
    return TheLibrary().Act(action, argument);
}

WEBWINDOW_EXPORT size_t glyphoria_webwindow_record(char* buffer, size_t capacity) {
    std::string record = TheLibrary().Record();
    if (buffer && capacity > 0) {
        size_t count = std::min(record.size(), capacity - 1);
        std::memcpy(buffer, record.data(), count);
        buffer[count] = '\0';
    }
    return record.size();
}

WEBWINDOW_EXPORT int32_t glyphoria_webwindow_control(const char* setting, const char* value) {
    return TheLibrary().Control(setting, value);
}

}  // extern "C"
