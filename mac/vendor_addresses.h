// The vendor's addresses as the Mac windows use them: the same built-in
// defaults as every other build (support/vendor_addresses.h), and the Mac's
// user agent.
//
// The cart service address is compared as one fixed string: scheme, host and
// path, without query.
#pragma once

#include <string>

#include "support/vendor_addresses.h"

namespace glyphoria::mac {

using glyphoria::SetVendorServer;
using glyphoria::Vendor;
using glyphoria::VendorAddresses;

// "Glyphoria/Mac 1.28"
std::string MacUserAgent();

}  // namespace glyphoria::mac
