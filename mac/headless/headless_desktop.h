// Headless folder chooser, workspace, reachability probe and alert panel:
// each records what it was asked and answers what the test set up.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "mac/seam/desktop.h"

namespace glyphoria::mac {

class HeadlessOpenPanel : public OpenPanel {
  public:
    struct Answer {
        int result = kOpenPanelCancel;
        std::vector<std::string> paths;
    };
    int runModal(const OpenPanelOptions& options, std::vector<std::string>* paths) override;
    // The user's next answers; with none queued the user cancels.
    void queueAnswer(Answer answer) { answers_.push_back(std::move(answer)); }
    int runs() const { return static_cast<int>(asked_.size()); }
    const std::vector<OpenPanelOptions>& asked() const { return asked_; }

  private:
    std::deque<Answer> answers_;
    std::vector<OpenPanelOptions> asked_;
};

class HeadlessWorkspace : public Workspace {
  public:
    bool openUrl(const std::string& url) override;
    bool selectFile(const std::string& path, const std::string& root) override;
    const std::vector<std::string>& openedUrls() const { return opened_; }
    const std::vector<std::string>& selectedFiles() const { return selected_; }
    void forgetOpenedUrls() { opened_.clear(); }

  private:
    std::vector<std::string> opened_;
    std::vector<std::string> selected_;
};

class HeadlessReachability : public Reachability {
  public:
    bool flagsForAddress(const IPv4SocketAddress& address, std::uint32_t* flags) override;
    // No probe can be made while unavailable.
    bool available = true;
    std::uint32_t flags = kReachableFlag;
    std::vector<IPv4SocketAddress> probed;
};

class HeadlessAlertPanel : public AlertPanel {
  public:
    struct Shown {
        std::string message;
        std::string informative;
    };
    int runAlert(const std::string& message, const std::string& informative) override;
    const std::vector<Shown>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

  private:
    std::vector<Shown> shown_;
};

}  // namespace glyphoria::mac
