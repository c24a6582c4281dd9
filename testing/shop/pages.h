// The shop's HTML pages: product homepage, sampler start page and cart.
//
// All links are absolute addresses below `base` (the listener's own
// "http://127.0.0.1:PORT"), so a client can follow them without resolving.
// The sampler page carries every font twice over: as a "glyphoria://try?..."
// link (the form the Mac sampler window intercepts) and as the bare try
// argument in the link's data-try attribute (what the Windows web-window
// library hands to "doTry"). Revert and homepage links use the same scheme;
// the revert link has a "?" because only "scheme://revert?..." runs a revert.
#pragma once

#include <string>
#include <vector>

#include "testing/shop/catalogue.h"

namespace glyphoria::testing::shop {

// "id=1001&psname=TeXGyreTermes-Regular": what the page hands to a try.
std::string TryArgument(const CatalogueFont& font);

std::string HomePage(const std::string& base);
std::string SamplerPage(const std::string& base, const Catalogue& catalogue);
// The cart with download links for the given fonts (all OpenType fonts of
// the catalogue when ids is empty) and a list of test downloads, one per
// download mode.
std::string CartPage(const std::string& base, const Catalogue& catalogue,
                     const std::vector<std::string>& ids);

// Characters that are special in HTML text or attribute values escaped.
std::string HtmlEscape(const std::string& text);

}  // namespace glyphoria::testing::shop
