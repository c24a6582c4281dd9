#include "mac/vendor_addresses.h"

namespace glyphoria::mac {

std::string MacUserAgent() {
    return std::string(kProductName) + "/Mac " + kProductVersion;
}

}  // namespace glyphoria::mac
