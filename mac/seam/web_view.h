// The embedded web view and its delegates, as the two web windows use them.
//
// A policy listener takes at most one decision: use (load or show), download,
// or ignore; a request may also be left without any decision, which leaves
// the address unloaded. Delegate operations the controller does not override
// answer "use", as the web engine does without a delegate.
//
// Downloads: the engine creates the download object, calls the download
// delegate in the order begin, destination, response, data..., then finish or
// failure, and stops calling once the download was cancelled.
#pragma once

#include <cstdint>
#include <string>

namespace glyphoria::mac {

struct MacError {
    std::string domain;
    long code = 0;
    // What the user is shown.
    std::string localized_description;
};

class PolicyListener {
  public:
    virtual ~PolicyListener() = default;
    virtual void use() = 0;
    virtual void download() = 0;
    virtual void ignore() = 0;
};

class WebView;
class Download;

class PolicyDelegate {
  public:
    virtual ~PolicyDelegate() = default;
    virtual void decidePolicyForNavigationAction(WebView&, const std::string& /*url*/,
                                                 PolicyListener& listener) {
        listener.use();
    }
    virtual void decidePolicyForNewWindowAction(WebView&, const std::string& /*url*/,
                                                const std::string& /*frame_name*/,
                                                PolicyListener& listener) {
        listener.use();
    }
    virtual void decidePolicyForMIMEType(WebView&, const std::string& /*type*/,
                                         const std::string& /*url*/, PolicyListener& listener) {
        listener.use();
    }
};

class FrameLoadDelegate {
  public:
    virtual ~FrameLoadDelegate() = default;
    virtual void didFailLoadWithError(WebView&, const MacError& error,
                                      const std::string& frame) = 0;
};

class Download {
  public:
    virtual ~Download() = default;
    virtual void cancel() = 0;
    virtual std::string requestUrl() const = 0;
    // The HTTP status of the response (NSHTTPURLResponse's statusCode); 0
    // before the response or when the engine does not say.
    virtual int responseStatus() const { return 0; }
};

class DownloadDelegate {
  public:
    virtual ~DownloadDelegate() = default;
    virtual void downloadDidBegin(Download& download) = 0;
    // Returns the destination path; an empty path refuses the download (the
    // engine cancels it). allow_overwrite replaces an existing file.
    virtual std::string decideDestinationWithSuggestedFilename(Download& download,
                                                               const std::string& filename,
                                                               bool* allow_overwrite) = 0;
    // expected_length: -1 when the server gave none.
    virtual void didReceiveResponse(Download& download, std::int64_t expected_length) = 0;
    virtual void didReceiveDataOfLength(Download& download, std::uint32_t length) = 0;
    virtual void downloadDidFinish(Download& download) = 0;
    virtual void didFailWithError(Download& download, const MacError& error) = 0;
};

class WebView {
  public:
    virtual ~WebView() = default;
    virtual void setCustomUserAgent(const std::string& agent) = 0;
    virtual void setFrameLoadDelegate(FrameLoadDelegate* delegate) = 0;
    virtual void setPolicyDelegate(PolicyDelegate* delegate) = 0;
    virtual void setDownloadDelegate(DownloadDelegate* delegate) = 0;
    // Loads the address into the main frame.
    virtual void loadUrl(const std::string& url) = 0;
};

}  // namespace glyphoria::mac
