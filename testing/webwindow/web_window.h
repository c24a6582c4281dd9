// The state and behaviour behind the web-window library's exported entries
// (webwindow_api.h): the plug-in's callback, the answered version, the shown
// page and the record of everything that passed.
//
// Record lines: those of host_channel.h, and
//   fetch     <address> <status or error> <content type> <body bytes>
// All entries may be called from any thread; callbacks run on the caller's
// thread with no lock held, so the plug-in may call back in.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "testing/webwindow/host_channel.h"
#include "testing/webwindow/library.h"
#include "testing/webwindow/webwindow_api.h"

namespace glyphoria::testing::webwindow {

class WebWindow final : public WebWindowLibrary {
  public:
    // The one window of the loaded library.
    static WebWindow& Instance();

    int32_t Act(const char* action, const char* argument) override;
    int32_t Control(const char* setting, const char* value) override;

  private:
    struct Page {
        std::string url;
        std::string html;
    };

    int32_t ShowWindow(const char* address) override;
    bool WindowVisible() override;
    void CloseWindow() override;
    int32_t Try(const std::string& id);
    int32_t Buy(const std::string& selector);

    bool Fetched(const std::string& url, std::string* body, std::string* content_type = nullptr);
    Page ShownPage() const;

    mutable std::mutex mutex_;
    bool visible_ = false;
    Page page_;
    std::string ca_file_;
    bool buy_follows_ = true;
};

}  // namespace glyphoria::testing::webwindow
