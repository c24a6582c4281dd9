#include "mac/headless/headless_mac.h"

#include "mac/try_controller.h"

namespace glyphoria::mac {

HeadlessMac::HeadlessMac() = default;

HeadlessMac::~HeadlessMac() {
    CloseSamplerWindow();
    application.drain();
    SetMacServices(MacServices());
}

void HeadlessMac::install() {
    MacServices services;
    services.application = &application;
    services.nibs = &nibs;
    services.workspace = &workspace;
    services.open_panel = &open_panel;
    services.reachability = &reachability;
    services.alerts = &alerts;
    services.load_document = [this](const std::string& url, std::string* text, MacError* error) {
        document_requests.push_back(url);
        auto it = documents.find(url);
        if (it == documents.end()) {
            *error = {"NSURLErrorDomain", -1100, "The requested URL was not found on this server."};
            return false;
        }
        *text = it->second;
        return true;
    };
    services.try_fonts = [this](const char* query) { tries.push_back(query); };
    services.revert_frames = [this](const char* query) { reverts.push_back(query); };
    services.install_fonts = [this](const char* path) { installs.push_back(path); };
    services.enter_modal_state = [this] {
        ++modal_state_depth;
        ++modal_state_entries;
    };
    services.leave_modal_state = [this] { --modal_state_depth; };
    SetMacServices(services);
}

}  // namespace glyphoria::mac
