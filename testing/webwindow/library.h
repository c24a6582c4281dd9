// What the exported entries of a web-window library (exports.cpp,
// webwindow_api.h) drive, and the command table both forms answer the same
// way over their own window. Each form defines TheLibrary() to return its one
// instance, which lives until the process ends.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "testing/webwindow/host_channel.h"

namespace glyphoria::testing::webwindow {

// The interface version both forms answer to "version" unless told otherwise.
constexpr int32_t kInterfaceVersion = 28;

class WebWindowLibrary {
  public:
    // "version" keeps the callback (null clears it) and answers the version;
    // "isTryWndVisible", "showTryWnd" (argument: the address) and
    // "closeTryWnd" go to the window. Anything else, also a known word in
    // other letter case, answers 0. Each command is recorded as a "main" line.
    int32_t Command(const char* command, intptr_t argument);
    virtual int32_t Act(const char* action, const char* argument) = 0;
    virtual int32_t Control(const char* setting, const char* value) = 0;
    std::string Record() const { return channel_.Record(); }

  protected:
    ~WebWindowLibrary() = default;

    virtual int32_t ShowWindow(const char* address) = 0;
    virtual bool WindowVisible() = 0;
    virtual void CloseWindow() = 0;

    // The settings both forms know: "version" (the number to answer) and
    // "clearRecord". False for any other.
    bool CommonControl(const std::string& setting, const std::string& value);
    // Callback, record and version as after loading.
    void ResetCommon();

    HostChannel channel_;
    std::atomic<int32_t> version_{kInterfaceVersion};
};

WebWindowLibrary& TheLibrary();

}  // namespace glyphoria::testing::webwindow
