// Which preferences hold addresses, and which addresses may be stored in them.
//
// The remote configuration names the pages the plug-in opens and fetches:
// the sampler's start page ("search"), the homepage, the cart, the renderer
// ("mlSamplerUrl"), and on the Mac, which takes every element of the
// document, the configuration's own address ("config"). The web views, the
// shell and the transfer open them as they are, so only web addresses may
// be stored there: "http://" or "https://", the scheme in any letter case,
// followed by at least a host. "javascript:", "file:", "data:", a path and an
// empty value are none.
#pragma once

#include <string>

namespace glyphoria {

bool IsAddressKey(const char* key);
bool IsWebAddress(const char* text);

// The log line (without line end) for a value that was not stored:
// "config: <key> skipped, not an http or https address: <value>", with
// control characters of the value shown as "?" so a value cannot start a
// log line of its own.
std::string SkippedAddressLine(const char* key, const char* value);

}  // namespace glyphoria
