// The desktop services of the Mac forms on GTK and GIO:
// - the folder chooser is GTK's file chooser dialog, run modally;
// - the workspace opens an address with the desktop's handler for it (GIO's
//   default application for the scheme), and shows a file through the file
//   manager's D-Bus interface (org.freedesktop.FileManager1.ShowItems), or,
//   where no file manager answers, opens the folder that holds it with the
//   desktop's handler for folders; what it handed on is recorded;
// - the reachability probe asks GIO's network monitor: a network with a
//   default route is reachable, none is not (the probe for 0.0.0.0);
// - the alert panel is a GTK message dialog with one OK button, titled with
//   the product name, run modally; it answers the first button's result.
#pragma once

#include <string>
#include <vector>

#include "mac/seam/desktop.h"

namespace glyphoria::mac {

class GtkMacOpenPanel : public OpenPanel {
  public:
    int runModal(const OpenPanelOptions& options, std::vector<std::string>* paths) override;
};

class GtkMacWorkspace : public Workspace {
  public:
    bool openUrl(const std::string& url) override;
    bool selectFile(const std::string& path, const std::string& root) override;
    const std::vector<std::string>& openedUrls() const { return opened_; }
    const std::vector<std::string>& selectedFiles() const { return selected_; }

  private:
    std::vector<std::string> opened_;
    std::vector<std::string> selected_;
};

class GtkMacReachability : public Reachability {
  public:
    bool flagsForAddress(const IPv4SocketAddress& address, std::uint32_t* flags) override;
};

class GtkMacAlertPanel : public AlertPanel {
  public:
    int runAlert(const std::string& message, const std::string& informative) override;
};

}  // namespace glyphoria::mac
