// The sampler window's controller.
#include "mac/try_controller.h"

#include <vector>

#include "mac/buy_controller.h"
#include "mac/mac_alerts.h"
#include "mac/mac_log.h"
#include "mac/mac_services.h"
#include "mac/plist_prefs.h"
#include "mac/vendor_addresses.h"
#include "mac/xml_element.h"
#include "support/web_address.h"

namespace glyphoria::mac {

namespace {

constexpr const char* kTryAddress = "glyphoria://try";
constexpr const char* kRevertAddress = "glyphoria://revert";
constexpr const char* kHomepageAddress = "glyphoria://homepage";

TryController*& Current() {
    static TryController* current = nullptr;
    return current;
}

bool Online() {
    Reachability* probe = Services().reachability;
    std::uint32_t flags = 0;
    if (!probe || !probe->flagsForAddress(IPv4SocketAddress{}, &flags)) return false;
    MacLog("Internetflags: %d", static_cast<int>(flags));
    return (flags & kReachableFlag) && !(flags & kConnectionRequiredFlag);
}

// The configuration document into the preferences; false (after an alert)
// when it cannot be had.
// Keys that hold what the user chose in the Mac windows (where purchases go,
// whether fonts are installed, where the panels stand). The configuration
// document stores every other element it holds, but it never decides these:
// a document from a hostile server could otherwise send the next purchase
// into a folder of its choosing.
bool IsUserChoiceKey(const std::string& key) {
    return key == "downloadTo" || key == "install" || key == "tryFrame" || key == "buyFrame";
}

bool FetchConfiguration() {
    const std::string url = MacPrefs().GetString("config", Vendor().config);
    std::string text;
    MacError error;
    const LoadDocumentText& load = Services().load_document;
    if (!load || !load(url, &text, &error)) {
        if (!load) error = {"Glyphoria", -1, "The configuration cannot be loaded."};
        ShowError(error);
        return false;
    }
    XmlRoot root;
    if (!ParseXmlRoot(text, &root, &error)) {
        ShowError(error);
        return false;
    }
    for (const XmlChild& child : root.children) {
        if (IsUserChoiceKey(child.name)) {
            MacLog("config: %s skipped, the user's own choice", child.name.c_str());
            continue;
        }
        // Addresses are opened as pages: only web addresses are taken.
        if (IsAddressKey(child.name.c_str()) && !IsWebAddress(child.value.c_str())) {
            MacLogText(SkippedAddressLine(child.name.c_str(), child.value.c_str()));
            continue;
        }
        MacPrefs().SetString(child.name, child.value, false);
    }
    MacPrefs().Save();
    MacLogText(MacPrefs().Describe());
    return true;
}

std::vector<std::string> SplitAtQuestionMarks(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find('?', start)) != std::string::npos; start = pos + 1)
        pieces.push_back(text.substr(start, pos - start));
    pieces.push_back(text.substr(start));
    return pieces;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out = "(";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + items[i];
    return out + ")";
}

}  // namespace

// Marks the controller as inside one of its own calls, so that a close
// arriving meanwhile does not pull the object away under the call.
class TryController::Busy {
  public:
    explicit Busy(TryController& c) : c_(c) { ++c_.busy_; }
    ~Busy() {
        if (--c_.busy_ == 0 && c_.release_pending_) delete &c_;
    }

  private:
    TryController& c_;
};

void TryController::runModeless() {
    if (!Online()) {
        ShowMessage("noInternet");
        return;
    }
    if (TryController* open = Current()) {
        open->show();
        return;
    }
    if (!FetchConfiguration()) return;

    auto* controller = new TryController;
    Current() = controller;
    if (!controller->setUpPanel()) delete controller;
}

bool TryController::isVisible() {
    return Current() != nullptr;
}

TryController* TryController::instance() {
    return Current();
}

void TryController::close() {
    TryController* controller = Current();
    if (!controller) return;
    controller->cleanUp();
    if (controller->busy_)
        controller->release_pending_ = true;
    else
        delete controller;
}

bool TryController::setUpPanel() {
    NibLoader* nibs = Services().nibs;
    if (!nibs || !nibs->loadTryController(&nib_) || !nib_.panel || !nib_.web_view) {
        MacLog("Try: cannot load the window description %s", "TryController");
        return false;
    }
    MacLogText("Try: topLevelObjects: " + Joined(nib_.top_level_objects));
    std::vector<std::string> subviews;
    for (const auto& view : nib_.panel->contentView().children)
        subviews.push_back(view->identifier);
    MacLogText("Try: subviews: " + Joined(subviews));

    WebView& web = *nib_.web_view;
    web.setCustomUserAgent(MacUserAgent());
    web.setFrameLoadDelegate(this);
    web.setPolicyDelegate(this);
    nib_.panel->setDelegate(this);
    web.loadUrl(Vendor().start_page);

    if (MacPrefs().HasString("tryFrame"))
        nib_.panel->setFrameFromString(MacPrefs().GetString("tryFrame", ""));
    nib_.panel->makeKeyAndOrderFront();
    return true;
}

void TryController::cleanUp() {
    if (cleaned_up_) return;
    cleaned_up_ = true;
    MacLog("Try: dealloc");
    if (Current() == this) Current() = nullptr;
    if (!nib_.panel) return;
    MacPrefs().SetString("tryFrame", nib_.panel->frameString(), true);
    if (nib_.web_view) {
        nib_.web_view->setFrameLoadDelegate(nullptr);
        nib_.web_view->setPolicyDelegate(nullptr);
    }
    nib_.panel->setDelegate(nullptr);
    nib_.panel->orderOut();
    // The panel may be the caller (its close control): it goes once that call is over.
    if (Application* app = Services().application)
        app->releaseWhenIdle(std::move(nib_.panel));
    else
        nib_.panel.reset();
    nib_.web_view = nullptr;
}

TryController::~TryController() {
    cleanUp();
    if (Current() == this) Current() = nullptr;
}

void TryController::show() {
    if (nib_.panel) nib_.panel->orderFront();
}

void TryController::doTry(const std::string& query) {
    if (Services().try_fonts) Services().try_fonts(query.c_str());
}

void TryController::doRevert(const std::string& query) {
    if (Services().revert_frames) Services().revert_frames(query.c_str());
}

void TryController::doHomepage() {
    const std::string url = MacPrefs().GetString("homepage", Vendor().homepage);
    if (Workspace* workspace = Services().workspace) workspace->openUrl(url);
}

void TryController::checkOut(const std::string& url) {
    BuyController::runModal(url);
}

void TryController::doPolicy(const std::string& url, PolicyListener& listener) {
    Busy busy(*this);
    const std::vector<std::string> pieces = SplitAtQuestionMarks(url);
    if (pieces.size() == 1) {
        if (url == kHomepageAddress) {
            doHomepage();
            return;  // no decision: the address is not loaded
        }
        listener.use();
        return;
    }
    if (pieces.size() == 2) {
        const std::string& head = pieces[0];
        const std::string& query = pieces[1];
        if (head == kTryAddress) {
            doTry(query);
        } else if (head == kRevertAddress) {
            doRevert(query);
        } else if (head == Vendor().cart_service) {
            checkOut(url);
            return;  // no decision: the purchase window had the address
        }
    }
    listener.use();
}

void TryController::decidePolicyForNavigationAction(WebView&, const std::string& url,
                                                    PolicyListener& listener) {
    MacLog("Try: policyForNavigation: %s", url.c_str());
    doPolicy(url, listener);
}

void TryController::decidePolicyForNewWindowAction(WebView&, const std::string& url,
                                                   const std::string&, PolicyListener& listener) {
    MacLog("Try: policyForNewWindow: %s", url.c_str());
    doPolicy(url, listener);
}

void TryController::didFailLoadWithError(WebView&, const MacError& error,
                                         const std::string& frame) {
    Busy busy(*this);
    MacLog("didFailLoadWithError: %s", frame.c_str());
    ShowError(error);
}

void TryController::windowWillClose() {
    MacLog("windowWillClose");
    close();
}

void ToggleSamplerWindow() {
    if (TryController::isVisible())
        TryController::close();
    else
        TryController::runModeless();
}

int IsSamplerWindowVisible() {
    return TryController::isVisible() ? 1 : 0;
}

void CloseSamplerWindow() {
    TryController::close();
}

}  // namespace glyphoria::mac
