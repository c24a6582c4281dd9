// What the libcurl-based parts of the Internet seam share: one-time library
// start-up, the options every transfer gets (direct access, protocols,
// redirect rules, trusted certificates, limits, the process's cookie store)
// and what a libcurl result means to a caller.
#pragma once

#include <curl/curl.h>

#include "platform/net.h"

namespace glyphoria::platform::curl {

// curl_global_init, once per process; false when libcurl cannot start.
bool EnsureStarted();

// Applies the common options to an easy handle; false when libcurl refuses
// one of them (an address is not set here). The stall limit is not a libcurl
// option: the reads keep it (net.cpp).
bool ApplyCommonOptions(CURL* easy, const char* agent, const NetLimits& limits);

// Whether the transfer speaks HTTP (or HTTPS).
bool IsHttp(CURL* easy);

// The announced length of an HTTP answer: unknown with a transfer coding,
// without the header, or when it is not one plain decimal number (repeated
// values must agree).
ContentLength HttpContentLength(CURL* easy);

// Whether the end curl reports is the content's end (see curl_common.cpp).
bool EndIsTrustworthy(CURL* easy);

// Why a transfer that ended with this result failed.
NetFailure FailureOf(CURLcode code);

}  // namespace glyphoria::platform::curl
