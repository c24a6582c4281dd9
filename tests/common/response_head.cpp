#include <string>
#include <vector>

#include "tests/common/loopback_server.h"

namespace glyphoria::testing {

std::string ResponseHead(const std::string& status, const std::vector<std::string>& headers) {
    std::string head = "HTTP/1.1 " + status + "\r\n";
    for (const std::string& line : headers)
        head += line + "\r\n";
    return head + "\r\n";
}

}  // namespace glyphoria::testing
