#include "testing/webwindow/http_fetch.h"

#include <httplib.h>

#include <sstream>

namespace glyphoria::testing::webwindow {

FetchResult Fetch(const std::string& url, const std::string& ca_file) {
    FetchResult result;
    size_t scheme_end = url.find("://");
    if (scheme_end == std::string::npos) {
        result.error = "not an address";
        return result;
    }
    std::string scheme = url.substr(0, scheme_end);
    if (scheme != "http" && scheme != "https") {
        result.error = "unsupported scheme " + scheme;
        return result;
    }
    size_t path_start = url.find_first_of("/?#", scheme_end + 3);
    std::string origin = path_start == std::string::npos ? url : url.substr(0, path_start);
    std::string path = path_start == std::string::npos ? "/" : url.substr(path_start);
    if (path[0] != '/') path = "/" + path;
    path = path.substr(0, path.find('#'));

    httplib::Client client(origin);
    if (!client.is_valid()) {
        result.error = "cannot make a client for " + origin;
        return result;
    }
    client.set_follow_location(true);
    // cpp-httplib's encoding leaves "%" alone, so addresses the page wrote
    // already encoded pass unchanged; it is needed for redirects, whose
    // Location the client hands on decoded.
    client.set_connection_timeout(5);
    client.set_read_timeout(15);
    if (scheme == "https") {
        if (ca_file.empty())
            client.enable_server_certificate_verification(false);
        else
            client.set_ca_cert_path(ca_file);
    }
    httplib::Result answer = client.Get(path);
    if (!answer) {
        std::ostringstream reason;
        reason << answer.error();
        result.error = reason.str();
        return result;
    }
    result.ok = true;
    result.status = answer->status;
    result.content_type = answer->get_header_value("Content-Type");
    result.disposition = answer->get_header_value("Content-Disposition");
    result.body = std::move(answer->body);
    return result;
}

}  // namespace glyphoria::testing::webwindow
