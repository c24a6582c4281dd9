// The vendor's addresses the Mac windows use: the sampler's start page, the
// default configuration document, the default product homepage and the cart
// service that opens the purchase window. They are deployment values: the
// defaults name the vendor's server, and the shell (or a test with a shop on
// loopback) may put another server in their place.
//
// The cart service address is compared as one fixed string: scheme, host and
// path, without query.
#pragma once

#include <string>

namespace glyphoria::mac {

struct VendorAddresses {
    std::string start_page;    // path "/glyphoria"
    std::string config;        // path "/glyphoria/config.xml"
    std::string homepage;      // the product's homepage
    std::string cart_service;  // path "/services/service.ashx"
};

// "http://www.kestrelworks.com" unless SetVendorServer said otherwise.
const VendorAddresses& Vendor();
// Every address on this server ("scheme://host[:port]", no trailing "/");
// an empty server restores the defaults.
void SetVendorServer(const std::string& server);

// "Glyphoria/Mac 1.28"
std::string MacUserAgent();

}  // namespace glyphoria::mac
