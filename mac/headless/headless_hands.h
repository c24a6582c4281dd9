// The user's hands on the headless seam: every step takes effect at once
// (the headless web view fetches, decides and downloads inside the click),
// so waiting only asks whether it is done.
#pragma once

#include "mac/hands.h"
#include "mac/headless/headless_seam.h"

namespace glyphoria::mac {

class HeadlessHands : public MacHands {
  public:
    explicit HeadlessHands(HeadlessSeam& seam) : seam_(seam) {}

    std::string pageUrl(WebView& view) override;
    std::vector<PageLink> links(WebView& view) override;
    bool clickLink(WebView& view, const std::string& which) override;
    bool clickControl(Window& window, const std::string& id) override;
    bool pressKey(Window& window, const PanelEvent& event) override;
    bool closeWindow(Window& window) override;
    void whenModal(const boost::function<void()>& step) override;
    void answerFolderChooser(const std::string& folder) override;
    std::vector<ShownAlert> alertsShown() override;
    std::vector<std::string> openedUrls() override;
    bool waitFor(const boost::function<bool()>& done, int milliseconds) override;
    bool snapshot(Window*, const std::string&) override { return false; }

  private:
    HeadlessSeam& seam_;
};

}  // namespace glyphoria::mac
