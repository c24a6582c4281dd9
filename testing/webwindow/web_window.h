// The state and behaviour behind the web-window library's exported entries
// (webwindow_api.h): the plug-in's callback, the answered version, the shown
// page and the record of everything that passed.
//
// Record lines (fields separated by tabs; a tab, line end, backslash or other
// control character inside a field is written as \t, \n, \\, \xHH):
//   main      <command> <argument> <result>   a command from the plug-in; the
//             argument is the address for "showTryWnd", else "null" or "set"
//   callback  <command> <argument> <result>   a callback to the plug-in; for
//             the KeyValueArgs commands the argument is the key and a fifth
//             field holds the value buffer after the call ("setPrefString":
//             the value handed over)
//   fetch     <address> <status or error> <content type> <body bytes>
//   note      <text>                         why an action could not happen, or
//             "overrun <command>" / "unterminated <command>" when the plug-in
//             wrote past a value buffer or left it without a NUL
// All entries may be called from any thread; callbacks run on the caller's
// thread with no lock held, so the plug-in may call back in.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "testing/webwindow/webwindow_api.h"

namespace glyphoria::testing::webwindow {

constexpr int32_t kInterfaceVersion = 28;

class WebWindow {
  public:
    // The one window of the loaded library.
    static WebWindow& Instance();

    int32_t Command(const char* command, intptr_t argument);
    int32_t Act(const char* action, const char* argument);
    int32_t Control(const char* setting, const char* value);
    std::string Record() const;

  private:
    struct Page {
        std::string url;
        std::string html;
    };

    int32_t Show(const char* address);
    int32_t Try(const std::string& id);
    int32_t Buy(const std::string& selector);
    int32_t ValueCommand(const char* command, const std::string& argument, size_t capacity);
    int32_t SetPref(const std::string& argument);
    int32_t Call(const char* command, const char* argument);
    int32_t CallRaw(const char* command, intptr_t argument, const std::string& shown_argument);

    bool Fetched(const std::string& url, std::string* body, std::string* content_type = nullptr);
    Page ShownPage() const;
    GlyphoriaHostCallback callback() const;
    void Note(const std::string& text);
    void Append(const std::vector<std::string>& fields);

    mutable std::mutex mutex_;
    GlyphoriaHostCallback callback_ = nullptr;
    int32_t version_ = kInterfaceVersion;
    bool visible_ = false;
    Page page_;
    std::string ca_file_;
    bool buy_follows_ = true;
    std::vector<std::string> record_;
};

}  // namespace glyphoria::testing::webwindow
