#include "mac/headless/headless_desktop.h"

namespace glyphoria::mac {

namespace {
// The alert panel's result for its first button.
constexpr int kAlertFirstButtonReturn = 1000;
}  // namespace

int HeadlessOpenPanel::runModal(const OpenPanelOptions& options, std::vector<std::string>* paths) {
    asked_.push_back(options);
    if (answers_.empty()) return kOpenPanelCancel;
    Answer answer = answers_.front();
    answers_.pop_front();
    if (paths) *paths = answer.paths;
    return answer.result;
}

bool HeadlessWorkspace::openUrl(const std::string& url) {
    opened_.push_back(url);
    return true;
}

bool HeadlessWorkspace::selectFile(const std::string& path, const std::string& root) {
    selected_.push_back(root.empty() ? path : root + ":" + path);
    return true;
}

bool HeadlessReachability::flagsForAddress(const IPv4SocketAddress& address, std::uint32_t* out) {
    probed.push_back(address);
    if (!available) return false;
    *out = flags;
    return true;
}

int HeadlessAlertPanel::runAlert(const std::string& message, const std::string& informative) {
    shown_.push_back({message, informative});
    return kAlertFirstButtonReturn;
}

}  // namespace glyphoria::mac
