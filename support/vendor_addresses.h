// The vendor's built-in addresses, in one place for every build: the sampler's
// start page, the configuration document, the product homepage and the cart
// service. They are deployment values: the defaults name the vendor's server,
// and a deployment (or a test with a shop on loopback) may put another server
// in their place. The preferences ("search", "config", "homepage") override
// them one by one at run time.
//
// The product's fixed texts live here too, since the about box, the log
// header and the Mac user agent all show them; the version is the build's
// (support/version.h.in).
#pragma once

#include <string>

#include "support/version.h"

namespace glyphoria {

constexpr const char* kProductName = "Glyphoria";
constexpr const char* kProductVersion = GLYPHORIA_VERSION;

struct VendorAddresses {
    std::string start_page;    // path "/glyphoria"
    std::string config;        // path "/glyphoria/config.xml"
    std::string homepage;      // the product's homepage
    std::string cart_service;  // path "/services/service.ashx"
};

// On the vendor's own server unless SetVendorServer said otherwise.
const VendorAddresses& Vendor();
// Every address on this server ("scheme://host[:port]", no trailing "/");
// an empty server restores the defaults.
void SetVendorServer(const std::string& server);

}  // namespace glyphoria
