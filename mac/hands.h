// The user's hands on the Mac forms' windows, whichever seam shows them:
// what a person does (follow a link of a page, click a control, press a key,
// close a window, answer the folder chooser) and waits for (a page shown, a
// download over). Tests, the demo and the module's scripting entry drive the
// windows through it, so the same steps run headless and on a screen.
//
// The windows are the ones the controllers hold now (SamplerPanel() and the
// rest; null when that window is not open). Whatever a step leads to (a
// try, a purchase panel's modal loop, an alert) runs inside the step; steps
// for a modal loop that a step will start are queued before it (whenModal).
#pragma once

#include <boost/function.hpp>
#include <string>
#include <vector>

#include "mac/seam/panel_event.h"
#include "mac/seam/web_view.h"
#include "mac/seam/window.h"

namespace glyphoria::mac {

struct PageLink {
    std::string href;
    std::string text;
    std::string id;
};

struct ShownAlert {
    std::string message;
    std::string informative;
};

class MacHands {
  public:
    virtual ~MacHands() = default;

    // The address of the page the view shows, once a load in progress is
    // over (or the time limit passed); empty before any page was shown.
    virtual std::string pageUrl(WebView& view) = 0;
    // The links of that page, in document order.
    virtual std::vector<PageLink> links(WebView& view) = 0;
    // Follows the first link whose text, href or id is which, and waits
    // until the engine has decided about it and shown what it loads. False
    // when the page has no such link.
    virtual bool clickLink(WebView& view, const std::string& which) = 0;
    // Clicks a button or check box of the window; false when the window does
    // not take the click (no such control, disabled, a sheet over the window).
    virtual bool clickControl(Window& window, const std::string& id) = 0;
    // A key-down in the window, as the window system delivers it; false when
    // the window does not take it.
    virtual bool pressKey(Window& window, const PanelEvent& event) = 0;
    // The window's close control; false when it has none or cannot be closed now.
    virtual bool closeWindow(Window& window) = 0;

    // Runs step inside the next modal loop that has none queued (the user's
    // actions while a modal panel is up); a step that closes the panel ends it.
    virtual void whenModal(const boost::function<void()>& step) = 0;
    // The folder chooser's next answer: that folder, or cancel when empty.
    virtual void answerFolderChooser(const std::string& folder) = 0;
    // The alerts shown so far, each answered with its default button.
    virtual std::vector<ShownAlert> alertsShown() = 0;
    // The addresses given to the desktop's browser so far.
    virtual std::vector<std::string> openedUrls() = 0;
    // Lets the window system and the engine work until done() holds or the
    // time limit passes; true when done() holds.
    virtual bool waitFor(const boost::function<bool()>& done, int milliseconds) = 0;
    // A PNG picture of the window as the screen shows it once it has painted
    // what it has (null: the whole screen); false where there is no screen.
    virtual bool snapshot(Window* window, const std::string& path) = 0;
};

// The windows the controllers hold now; null when not open.
Window* SamplerPanel();
WebView* SamplerPage();
Window* PurchasePanel();
WebView* PurchasePage();
Window* ProgressSheet();

}  // namespace glyphoria::mac
