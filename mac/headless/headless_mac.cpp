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
    bindSeam(&services);
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
    services.host_prepare_undo = [this] {
        if (!host_has_document) return false;
        ++host_undos;
        return true;
    };
    services.send_key_to_host = [this](const PanelEvent& event) { host_keys.push_back(event); };
    SetMacServices(services);
}

}  // namespace glyphoria::mac
