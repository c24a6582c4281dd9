#include "testing/webwindow/library.h"

#include <cstdlib>

namespace glyphoria::testing::webwindow {

int32_t WebWindowLibrary::Command(const char* command, intptr_t argument) {
    if (!command) {
        channel_.Append({"main", "null", argument ? "set" : "null", "0"});
        return 0;
    }
    std::string name = command;
    std::string shown = argument ? "set" : "null";
    int32_t result = 0;
    if (name == "version") {
        channel_.SetCallback(reinterpret_cast<GlyphoriaHostCallback>(argument));
        result = version_;
        shown = argument ? "callback" : "null";
    } else if (name == "isTryWndVisible") {
        result = WindowVisible() ? 1 : 0;
    } else if (name == "showTryWnd") {
        const char* address = reinterpret_cast<const char*>(argument);
        if (address) shown = address;
        result = ShowWindow(address);
    } else if (name == "closeTryWnd") {
        CloseWindow();
    }
    channel_.Append({"main", name, shown, std::to_string(result)});
    return result;
}

bool WebWindowLibrary::CommonControl(const std::string& setting, const std::string& value) {
    if (setting == "version") {
        version_ = static_cast<int32_t>(std::strtol(value.c_str(), nullptr, 10));
    } else if (setting == "clearRecord") {
        channel_.ClearRecord();
    } else {
        return false;
    }
    return true;
}

void WebWindowLibrary::ResetCommon() {
    channel_.Reset();
    version_ = kInterfaceVersion;
}

}  // namespace glyphoria::testing::webwindow
