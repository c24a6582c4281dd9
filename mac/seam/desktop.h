// The desktop services of the Mac forms: the folder chooser, the workspace
// (default browser, file viewer), the network reachability probe and the
// alert panel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphoria::mac {

struct OpenPanelOptions {
    std::string title;
    bool can_choose_files = true;
    bool can_choose_directories = false;
    bool allows_multiple_selection = false;
    bool can_create_directories = false;
};

constexpr int kOpenPanelOk = 1;
constexpr int kOpenPanelCancel = 0;

class OpenPanel {
  public:
    virtual ~OpenPanel() = default;
    // kOpenPanelOk with the chosen paths, or kOpenPanelCancel.
    virtual int runModal(const OpenPanelOptions& options, std::vector<std::string>* paths) = 0;
};

class Workspace {
  public:
    virtual ~Workspace() = default;
    // Opens the address in the user's default browser.
    virtual bool openUrl(const std::string& url) = 0;
    // Shows the file selected in the file viewer; an empty root means the
    // viewer's own.
    virtual bool selectFile(const std::string& path, const std::string& root) = 0;
};

// The socket address the reachability probe is made for.
struct IPv4SocketAddress {
    std::uint8_t length = 16;
    std::uint8_t family = 2;
    std::uint16_t port = 0;
    std::uint32_t address = 0;
};

constexpr std::uint32_t kReachableFlag = 2;
constexpr std::uint32_t kConnectionRequiredFlag = 4;

class Reachability {
  public:
    virtual ~Reachability() = default;
    // False when no probe can be made for the address or its flags cannot be read.
    virtual bool flagsForAddress(const IPv4SocketAddress& address, std::uint32_t* flags) = 0;
};

class AlertPanel {
  public:
    virtual ~AlertPanel() = default;
    // One default button; returns the panel's result.
    virtual int runAlert(const std::string& message, const std::string& informative) = 0;
};

}  // namespace glyphoria::mac
