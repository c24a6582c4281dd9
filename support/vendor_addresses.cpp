#include "support/vendor_addresses.h"

namespace glyphoria {

namespace {

constexpr const char* kDefaultServer = "http://www.kestrelworks.com";

VendorAddresses On(const std::string& server) {
    return {server + "/glyphoria", server + "/glyphoria/config.xml", server + "/",
            server + "/services/service.ashx"};
}

VendorAddresses& Slot() {
    static VendorAddresses addresses = On(kDefaultServer);
    return addresses;
}

}  // namespace

const VendorAddresses& Vendor() {
    return Slot();
}

void SetVendorServer(const std::string& server) {
    Slot() = On(server.empty() ? std::string(kDefaultServer) : server);
}

}  // namespace glyphoria
