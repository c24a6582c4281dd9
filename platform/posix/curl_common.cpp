#include "platform/posix/curl_common.h"

#include <mutex>
#include <string>

namespace glyphoria::platform {

namespace {

std::mutex g_ca_mutex;
std::string g_ca_file;

std::string TrustedCaFile() {
    std::lock_guard<std::mutex> lock(g_ca_mutex);
    return g_ca_file;
}

}  // namespace

void SetTrustedCaFile(const char* path) {
    std::lock_guard<std::mutex> lock(g_ca_mutex);
    g_ca_file = path ? path : "";
}

namespace curl {

bool EnsureStarted() {
    static const bool started = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return started;
}

bool ApplyCommonOptions(CURL* easy, const char* agent, const NetLimits& limits) {
    bool ok = true;
    auto set = [&ok](CURLcode code) { ok = ok && code == CURLE_OK; };
    // Direct access: an empty proxy also overrides the *_proxy variables.
    set(curl_easy_setopt(easy, CURLOPT_PROXY, ""));
    if (agent) set(curl_easy_setopt(easy, CURLOPT_USERAGENT, agent));
    // No signals: name lookups must not raise SIGALRM inside the host.
    set(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
    set(curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,ftp"));
    set(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L));
    set(curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kNetMaxRedirects));
    // A redirect must never lead to a local file or another protocol.
    set(curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
    std::string ca = TrustedCaFile();
    if (!ca.empty()) set(curl_easy_setopt(easy, CURLOPT_CAINFO, ca.c_str()));
    if (limits.connect_timeout_ms > 0)
        set(curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, limits.connect_timeout_ms));
    if (limits.low_speed_seconds > 0) {
        set(curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, limits.low_speed_bytes));
        set(curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, limits.low_speed_seconds));
    }
    return ok;
}

}  // namespace curl
}  // namespace glyphoria::platform
