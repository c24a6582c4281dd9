// Whole-document GET for the web-window library, over cpp-httplib.
//
// Follows redirects like a browser. HTTPS is checked against ca_file when it
// is given; without one, certificates are not checked (the stand-in is no
// browser, and the shop's HTTPS listener has a self-signed certificate).
// Waits at most 5 seconds to connect and 15 seconds for each read, which is
// longer than the shop's longest stall.
#pragma once

#include <string>

namespace glyphoria::testing::webwindow {

struct FetchResult {
    bool ok = false;  // an HTTP answer arrived completely (any status)
    int status = 0;
    std::string content_type;
    std::string disposition;
    std::string body;
    std::string error;  // why no complete answer arrived
};

FetchResult Fetch(const std::string& url, const std::string& ca_file);

}  // namespace glyphoria::testing::webwindow
