#include "mac/headless/headless_hands.h"

#include "mac/headless/headless_web_view.h"
#include "mac/headless/headless_window.h"

namespace glyphoria::mac {

namespace {
HeadlessWebView* Headless(WebView& view) {
    return dynamic_cast<HeadlessWebView*>(&view);
}
HeadlessWindow* Headless(Window& window) {
    return dynamic_cast<HeadlessWindow*>(&window);
}
}  // namespace

std::string HeadlessHands::pageUrl(WebView& view) {
    HeadlessWebView* page = Headless(view);
    return page ? page->pageUrl() : std::string();
}

std::vector<PageLink> HeadlessHands::links(WebView& view) {
    std::vector<PageLink> out;
    if (HeadlessWebView* page = Headless(view))
        for (const HtmlLink& link : page->links())
            out.push_back({link.href, link.text, link.id});
    return out;
}

bool HeadlessHands::clickLink(WebView& view, const std::string& which) {
    HeadlessWebView* page = Headless(view);
    return page && page->clickLink(which);
}

bool HeadlessHands::clickControl(Window& window, const std::string& id) {
    ViewNode* control = window.contentView().Find(id);
    return control && control->Click();
}

bool HeadlessHands::pressKey(Window& window, const PanelEvent& event) {
    HeadlessWindow* w = Headless(window);
    return w && w->userEvent(event);
}

bool HeadlessHands::closeWindow(Window& window) {
    HeadlessWindow* w = Headless(window);
    return w && w->userClose();
}

void HeadlessHands::whenModal(const boost::function<void()>& step) {
    seam_.application.queueModalStep(step);
}

void HeadlessHands::answerFolderChooser(const std::string& folder) {
    if (folder.empty())
        seam_.open_panel.queueAnswer({kOpenPanelCancel, {}});
    else
        seam_.open_panel.queueAnswer({kOpenPanelOk, {folder}});
}

std::vector<ShownAlert> HeadlessHands::alertsShown() {
    std::vector<ShownAlert> out;
    for (const auto& shown : seam_.alerts.shown())
        out.push_back({shown.message, shown.informative});
    return out;
}

std::vector<std::string> HeadlessHands::openedUrls() {
    return seam_.workspace.openedUrls();
}

bool HeadlessHands::waitFor(const boost::function<bool()>& done, int) {
    return done();
}

}  // namespace glyphoria::mac
