#include "mac/headless/headless_web_view.h"

#include "mac/headless/web_network.h"
#include "platform/fs.h"
#include "support/file_utils.h"

namespace glyphoria::mac {

void RecordingListener::take(PolicyDecision d) {
    if (count_++ == 0) decision_ = d;
}

HeadlessDownload::HeadlessDownload(DownloadDelegate* delegate, std::string url)
    : delegate_(delegate), url_(std::move(url)) {}

void HeadlessDownload::cancel() {
    cancelled_ = true;
}

void HeadlessDownload::begin() {
    if (!active() || !delegate_) return;
    delegate_->downloadDidBegin(*this);
}

void HeadlessDownload::receiveResponse(std::int64_t expected_length,
                                       const std::string& suggested_filename, int status) {
    if (!active() || !delegate_) return;
    status_ = status;
    delegate_->didReceiveResponse(*this, expected_length);
    if (!active()) return;
    bool overwrite = false;
    destination_ =
        delegate_->decideDestinationWithSuggestedFilename(*this, suggested_filename, &overwrite);
    if (destination_.empty()) {
        cancelled_ = true;
        return;
    }
    // Without leave to overwrite the engine would pick another name; the
    // headless one simply refuses.
    if (!overwrite && FileExists(destination_.c_str())) {
        cancelled_ = true;
        return;
    }
    if (!WriteWholeFile(destination_.c_str(), "", 0)) {
        MacError error{"NSURLErrorDomain", -3000, "The file cannot be created."};
        fail(error);
    }
}

void HeadlessDownload::receive(const std::string& bytes) {
    if (!active()) return;
    if (std::FILE* file = platform::OpenFile(destination_.c_str(), "ab")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    delegate_->didReceiveDataOfLength(*this, static_cast<std::uint32_t>(bytes.size()));
}

void HeadlessDownload::finish() {
    if (!active()) return;
    ended_ = true;
    delegate_->downloadDidFinish(*this);
}

void HeadlessDownload::fail(const MacError& error) {
    if (!active()) return;
    ended_ = true;
    delegate_->didFailWithError(*this, error);
}

bool HeadlessWebView::TakesEditAction(const std::string& action) {
    return action == "selectAll:" || action == "copy:" || action == "paste:" || action == "cut:" ||
           action == "undo:";
}

PolicyDecision HeadlessWebView::navigate(const std::string& url) {
    RecordingListener listener;
    if (policy_delegate_)
        policy_delegate_->decidePolicyForNavigationAction(*this, url, listener);
    else
        listener.use();
    if (listener.decision() == PolicyDecision::kUse) {
        loads_.push_back(url);
        if (network_) fetch(url);
    }
    return listener.decision();
}

PolicyDecision HeadlessWebView::openNewWindow(const std::string& url,
                                              const std::string& frame_name) {
    RecordingListener listener;
    if (policy_delegate_)
        policy_delegate_->decidePolicyForNewWindowAction(*this, url, frame_name, listener);
    else
        listener.use();
    // No window is ever created without a UI delegate; the decision is all.
    return listener.decision();
}

PolicyDecision HeadlessWebView::respond(const std::string& url, const std::string& mime_type,
                                        const std::string& suggested_filename,
                                        HeadlessDownload** started, std::int64_t expected_length,
                                        int status) {
    if (started) *started = nullptr;
    RecordingListener listener;
    if (policy_delegate_)
        policy_delegate_->decidePolicyForMIMEType(*this, mime_type, url, listener);
    else
        listener.use();
    if (listener.decision() == PolicyDecision::kDownload) {
        downloads_.push_back(std::make_unique<HeadlessDownload>(download_delegate_, url));
        HeadlessDownload* download = downloads_.back().get();
        download->begin();
        download->receiveResponse(expected_length, suggested_filename, status);
        if (started) *started = download;
    }
    return listener.decision();
}

void HeadlessWebView::loadUrl(const std::string& url) {
    // The engine asks about a load it is told to make as about any other navigation.
    navigate(url);
}

void HeadlessWebView::fetch(const std::string& url) {
    last_error_ = MacError();
    std::unique_ptr<WebResponse> response = network_->open(url, user_agent_, &last_error_);
    if (!response) return;

    RecordingListener listener;
    const std::string type = response->mimeType();
    if (policy_delegate_)
        policy_delegate_->decidePolicyForMIMEType(*this, type, url, listener);
    else
        listener.use();

    std::string piece;
    if (listener.decision() == PolicyDecision::kDownload) {
        if (!download_delegate_) return;  // nobody to give the file to
        downloads_.push_back(std::make_unique<HeadlessDownload>(download_delegate_, url));
        HeadlessDownload* download = downloads_.back().get();
        download->begin();
        download->receiveResponse(response->expectedLength(), response->suggestedFilename(),
                                  response->statusCode());
        while (download->active()) {
            MacError error;
            const WebResponse::Read read = response->read(&piece, &error);
            if (read == WebResponse::kFailed) {
                download->fail(error);
            } else if (read == WebResponse::kEnd) {
                download->finish();
            } else {
                download->receive(piece);
            }
        }
        return;
    }
    if (listener.decision() != PolicyDecision::kUse) return;

    std::string body;
    for (;;) {
        const WebResponse::Read read = response->read(&piece, &last_error_);
        if (read == WebResponse::kEnd) break;
        if (read == WebResponse::kFailed) {
            failLoad(last_error_);
            return;
        }
        body += piece;
    }
    // The committed page replaces the shown one; only HTML has links.
    page_url_ = url;
    page_html_ = body;
    links_ = type == "text/html" ? ParseHtmlLinks(body) : std::vector<HtmlLink>();
}

bool HeadlessWebView::clickLink(const std::string& which, PolicyDecision* decision) {
    for (const HtmlLink& link : links_) {
        if (link.text != which && link.href != which && (link.id.empty() || link.id != which))
            continue;
        // The page may be replaced by the click: work on a copy.
        const HtmlLink clicked = link;
        const PolicyDecision d = clicked.target.empty()
                                     ? navigate(clicked.href)
                                     : openNewWindow(clicked.href, clicked.target);
        if (decision) *decision = d;
        return true;
    }
    return false;
}

void HeadlessWebView::failLoad(const MacError& error, const std::string& frame) {
    if (frame_load_delegate_) frame_load_delegate_->didFailLoadWithError(*this, error, frame);
}

}  // namespace glyphoria::mac
