// Blocking download of an address into a file, the URL moniker's role.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/net.h"
#include "platform/posix/curl_common.h"

namespace glyphoria::platform {

namespace {

std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* user) {
    return std::fwrite(data, size, count, static_cast<std::FILE*>(user)) * size;
}

// A fresh file beside path (same folder, so the rename stays on one disk).
std::FILE* CreateTemporaryBeside(const std::string& path, std::string* temp) {
    *temp = path + ".part-XXXXXX";
    int fd = mkstemp(temp->data());
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        close(fd);
        unlink(temp->c_str());
    }
    return file;
}

bool Transfer(const char* address, std::FILE* file, const NetLimits& limits) {
    std::unique_ptr<CURL, curl::EasyCloser> easy(curl_easy_init());
    if (!easy) return false;
    CURL* e = easy.get();
    if (!curl::ApplyCommonOptions(e, nullptr, limits) ||
        curl_easy_setopt(e, CURLOPT_URL, address) != CURLE_OK ||
        curl_easy_setopt(e, CURLOPT_FAILONERROR, 1L) != CURLE_OK ||
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, WriteToFile) != CURLE_OK ||
        curl_easy_setopt(e, CURLOPT_WRITEDATA, file) != CURLE_OK)
        return false;
    if (limits.response_timeout_ms > 0 && limits.low_speed_seconds <= 0) {
        // Without a low-speed limit, the response limit bounds the whole fetch.
        curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, limits.response_timeout_ms);
    }
    return curl_easy_perform(e) == CURLE_OK;
}

}  // namespace

bool DownloadToFile(const char* address, const char* path, const NetLimits& limits) {
    if (!address || !*address || !path || !*path || !curl::EnsureStarted()) return false;
    std::string temp;
    std::FILE* file = CreateTemporaryBeside(path, &temp);
    if (!file) return false;
    bool ok = Transfer(address, file, limits);
    ok = (std::fflush(file) == 0) && ok;
    ok = (std::fclose(file) == 0) && ok;
    if (ok && std::rename(temp.c_str(), path) == 0) return true;
    unlink(temp.c_str());
    return false;
}

}  // namespace glyphoria::platform
