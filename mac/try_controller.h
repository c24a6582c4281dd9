// The sampler window: a floating panel with the shop's sampler page. At most
// one exists; the class-wide instance is it.
//
// Opening (runModeless) first probes the network for 0.0.0.0 (reachable,
// no connection required, else "noInternet"), brings an open window to the
// front, or else fetches the configuration document at the preference
// "config", stores every child element of its root as a preference (empty
// values too; an address key only with an http or https address, see
// support/web_address.h, any other is logged and skipped), writes the
// preferences once and logs them, and only then
// creates the window. A document that cannot be loaded or is not well-formed
// is reported in an alert and no window appears.
//
// The page talks to the plug-in by navigating: the address is split at every
// "?"; "glyphoria://homepage" alone opens the homepage in the browser;
// "glyphoria://try?q" and "glyphoria://revert?q" run the try and revert
// flows with q as it stands; the cart service with a query opens the purchase
// window with the whole address. The homepage and cart addresses get no
// decision (nothing loads); everything else is "use". Comparisons are exact.
//
// Closing (the user, or the menu toggle) saves the panel's frame under
// "tryFrame", writes the preferences and takes the panel away. A close that
// arrives while the controller is inside one of its own calls takes effect
// at once for everyone else; the object itself goes when that call returns.
#pragma once

#include <string>

#include "mac/seam/nib_loader.h"
#include "mac/seam/web_view.h"
#include "mac/seam/window.h"

namespace glyphoria::mac {

class TryController : public PolicyDelegate, public FrameLoadDelegate, public WindowDelegate {
  public:
    // Class operations.
    static void runModeless();
    static bool isVisible();
    static void close();
    // The open instance, or null.
    static TryController* instance();

    void show();
    void doTry(const std::string& query);
    void doRevert(const std::string& query);
    void doHomepage();
    void checkOut(const std::string& url);
    void doPolicy(const std::string& url, PolicyListener& listener);

    void decidePolicyForNavigationAction(WebView&, const std::string& url,
                                         PolicyListener& listener) override;
    void decidePolicyForNewWindowAction(WebView&, const std::string& url,
                                        const std::string& frame_name,
                                        PolicyListener& listener) override;
    void didFailLoadWithError(WebView&, const MacError& error, const std::string& frame) override;
    void windowWillClose() override;

    Window* panel() const { return nib_.panel.get(); }
    WebView* webView() const { return nib_.web_view; }

    ~TryController() override;

  private:
    TryController() = default;
    // The instance's runModeless: the panel set up and shown; false when the
    // window description cannot be loaded.
    bool setUpPanel();
    // Saves the frame and lets the panel go; runs once.
    void cleanUp();

    class Busy;

    TryNib nib_;
    bool cleaned_up_ = false;
    int busy_ = 0;
    bool release_pending_ = false;
};

// The menu toggle and its state, and shutdown's close.
void ToggleSamplerWindow();
int IsSamplerWindowVisible();
void CloseSamplerWindow();

}  // namespace glyphoria::mac
