// A web view without an engine: a test plays the page and the network.
// navigate() and openNewWindow() ask the policy delegate as a click would and
// report the decision; respond() offers a response of a type, and when the
// delegate decides "download" it starts a HeadlessDownload, which the test
// then feeds (response, data, finish or failure) like the network. Received
// data are written to the destination file, so what a download leaves on
// disk is real.
//
// With a network (setNetwork) the view browses for real: loadUrl fetches the
// address, asks the policy delegate about the response's type and then shows
// the page (its links become clickable through clickLink) or hands the
// response to a download that receives the body piece by piece. A page whose
// body breaks off is reported to the frame-load delegate; an address that
// cannot be fetched at all (refused, unsupported scheme) leaves the page as
// it was, as a failed provisional load does. Without a network loadUrl only
// records the address. Like the engine, loadUrl asks the policy delegate
// about the navigation first and loads only on "use".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mac/headless/html_links.h"
#include "mac/seam/web_view.h"

namespace glyphoria::mac {

enum class PolicyDecision { kNone, kUse, kDownload, kIgnore };

// Records the one decision a delegate takes; a second one is counted, not kept.
class RecordingListener : public PolicyListener {
  public:
    void use() override { take(PolicyDecision::kUse); }
    void download() override { take(PolicyDecision::kDownload); }
    void ignore() override { take(PolicyDecision::kIgnore); }
    PolicyDecision decision() const { return decision_; }
    int decisions() const { return count_; }

  private:
    void take(PolicyDecision d);
    PolicyDecision decision_ = PolicyDecision::kNone;
    int count_ = 0;
};

class HeadlessDownload : public Download {
  public:
    HeadlessDownload(DownloadDelegate* delegate, std::string url);
    void cancel() override;
    std::string requestUrl() const override { return url_; }
    int responseStatus() const override { return status_; }

    // The engine's steps, in its order: begin, the response (with the
    // length it announces, -1 for none, and its HTTP status) and then the
    // destination for the name it suggests, data..., finish or failure. Each
    // does nothing once the download was cancelled or has ended, as the
    // engine stops calling then.
    void begin();
    void receiveResponse(std::int64_t expected_length, const std::string& suggested_filename,
                         int status = 200);
    void receive(const std::string& bytes);
    void finish();
    void fail(const MacError& error);

    bool cancelled() const { return cancelled_; }
    bool active() const { return !cancelled_ && !ended_; }
    const std::string& destination() const { return destination_; }

  private:
    DownloadDelegate* delegate_;
    std::string url_;
    std::string destination_;
    int status_ = 0;
    bool cancelled_ = false;
    bool ended_ = false;
};

class WebNetwork;

class HeadlessWebView : public WebView {
  public:
    void setCustomUserAgent(const std::string& agent) override { user_agent_ = agent; }
    void setFrameLoadDelegate(FrameLoadDelegate* d) override { frame_load_delegate_ = d; }
    void setPolicyDelegate(PolicyDelegate* d) override { policy_delegate_ = d; }
    void setDownloadDelegate(DownloadDelegate* d) override { download_delegate_ = d; }
    void loadUrl(const std::string& url) override;

    // Browsing for real; null goes back to recording addresses only.
    void setNetwork(WebNetwork* network) { network_ = network; }
    // The user clicks the first link of the shown page whose text, href or id
    // is which: a link with a target asks for a new window, any other one
    // navigates (and, on "use", loads). False when the page has no such link.
    bool clickLink(const std::string& which, PolicyDecision* decision = nullptr);
    const std::vector<HtmlLink>& links() const { return links_; }
    // The shown page and its address; empty before a page was shown.
    const std::string& pageUrl() const { return page_url_; }
    const std::string& pageHtml() const { return page_html_; }
    // The downloads this view started, oldest first.
    const std::vector<std::unique_ptr<HeadlessDownload>>& downloads() const { return downloads_; }
    // Why the last load did not show a page (or did not finish); empty after
    // a page was shown.
    const MacError& lastLoadError() const { return last_error_; }

    // The page: a link to url in this frame, or in a new window.
    PolicyDecision navigate(const std::string& url);
    PolicyDecision openNewWindow(const std::string& url, const std::string& frame_name = "_blank");
    // The network: a response of this type to url. On "download" the new
    // download has begun, had its response and been given its destination
    // (*started).
    PolicyDecision respond(const std::string& url, const std::string& mime_type,
                           const std::string& suggested_filename,
                           HeadlessDownload** started = nullptr, std::int64_t expected_length = -1,
                           int status = 200);
    // A committed load of the page fails.
    void failLoad(const MacError& error, const std::string& frame = "main frame");

    // As the first responder of its window: a typed key, and the edit
    // actions a web view takes ("selectAll:", "copy:", "paste:", "cut:",
    // "undo:"), in the page's text.
    static bool TakesEditAction(const std::string& action);
    void typeKey(const std::string& characters) { typed_ += characters; }
    void performEditAction(const std::string& action) { edit_actions_.push_back(action); }
    const std::string& typed() const { return typed_; }
    const std::vector<std::string>& editActions() const { return edit_actions_; }

    const std::string& userAgent() const { return user_agent_; }
    const std::vector<std::string>& loads() const { return loads_; }
    // Long runs (the fuzzer's millions of navigations) forget what they saw.
    void forgetLoads() { loads_.clear(); }
    FrameLoadDelegate* frameLoadDelegate() const { return frame_load_delegate_; }
    PolicyDelegate* policyDelegate() const { return policy_delegate_; }
    DownloadDelegate* downloadDelegate() const { return download_delegate_; }

  private:
    void fetch(const std::string& url);

    std::string user_agent_;
    std::vector<std::string> loads_;
    WebNetwork* network_ = nullptr;
    std::string page_url_;
    std::string page_html_;
    std::vector<HtmlLink> links_;
    MacError last_error_;
    FrameLoadDelegate* frame_load_delegate_ = nullptr;
    PolicyDelegate* policy_delegate_ = nullptr;
    DownloadDelegate* download_delegate_ = nullptr;
    std::vector<std::unique_ptr<HeadlessDownload>> downloads_;
    std::string typed_;
    std::vector<std::string> edit_actions_;
};

}  // namespace glyphoria::mac
