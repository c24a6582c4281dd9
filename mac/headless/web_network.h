// Where the headless web view gets its pages and downloads from. open()
// starts a request and returns once the response's headers are in; the body
// is then read in pieces, so a download sees its data arrive as a real one
// does. NetWebNetwork goes over the platform's Internet seam (platform/net.h)
// to real servers (in tests: the stand-in shop on loopback).
//
// Only http and https addresses are fetched; any other scheme (the plug-in's
// own "glyphoria://") fails like an unsupported address. An error page is a
// page, as in a browser; the status goes with the response (a download
// delegate sees it as the download's responseStatus).

// Failures carry the NSURLErrorDomain error of their cause (mac/net_errors.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "mac/seam/web_view.h"

namespace glyphoria::mac {

class WebResponse {
  public:
    virtual ~WebResponse() = default;
    // The type without parameters, in lower case; "application/octet-stream"
    // when the server sent none.
    virtual std::string mimeType() const = 0;
    // -1 when the server announced no length.
    virtual std::int64_t expectedLength() const = 0;
    // The HTTP status; 0 when the network does not say.
    virtual int statusCode() const { return 0; }
    // The file name the response suggests: the Content-Disposition's, else
    // the address's last path segment (percent-decoded), as sent: whether it
    // is a safe name is the receiver's business.
    virtual std::string suggestedFilename() const = 0;

    enum Read { kData, kEnd, kFailed };
    // The next piece of the body into *piece (replacing it).
    virtual Read read(std::string* piece, MacError* error) = 0;
};

class WebNetwork {
  public:
    virtual ~WebNetwork() = default;
    // Null with the error when the address cannot be fetched.
    virtual std::unique_ptr<WebResponse> open(const std::string& url, const std::string& user_agent,
                                              MacError* error) = 0;
};

class NetWebNetwork : public WebNetwork {
  public:
    std::unique_ptr<WebResponse> open(const std::string& url, const std::string& user_agent,
                                      MacError* error) override;
};

// The file name in a Content-Disposition value ("attachment;
// filename=\"a.zip\""), read as support/content_disposition.h reads it;
// empty when it names none.
std::string DispositionFilename(const std::string& disposition);

}  // namespace glyphoria::mac
