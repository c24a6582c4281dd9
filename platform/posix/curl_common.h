// What the libcurl-based parts of the Internet seam share: one-time library
// start-up and the options every transfer gets (direct access, protocols,
// redirect rules, trusted certificates, limits).
#pragma once

#include <curl/curl.h>

#include "platform/net.h"

namespace glyphoria::platform::curl {

// curl_global_init, once per process; false when libcurl cannot start.
bool EnsureStarted();

// Applies the common options to an easy handle; false when libcurl refuses
// one of them (an address is not set here).
bool ApplyCommonOptions(CURL* easy, const char* agent, const NetLimits& limits);

// RAII for a bare easy handle.
struct EasyCloser {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

}  // namespace glyphoria::platform::curl
