#include "mac/mac_sampler_fetch.h"

#include <cstring>

#include "mac/mac_folders.h"
#include "mac/mac_log.h"
#include "support/file_utils.h"

namespace glyphoria::mac {

namespace {

constexpr std::size_t kMaxIdLength = 31;

bool IsUsableId(const char* id) {
    if (!id) return false;
    const std::size_t length = std::strlen(id);
    if (length == 0 || length > kMaxIdLength || std::strstr(id, "..")) return false;
    for (const char* p = id; *p; ++p) {
        const char c = *p;
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

std::string MacSamplerUrl(const std::string& base, const std::string& parameters) {
    return base + parameters;
}

std::string FetchMacPreview(const std::string& base, const std::string& parameters, const char* id,
                            char* preview_path, std::size_t cap,
                            const SynchronousRequest& request) {
    if (preview_path && cap) preview_path[0] = '\0';
    if (!IsUsableId(id)) {
        MacLog("samplerURL: refused for the id %s", id ? id : "(none)");
        return {};
    }
    const std::string url = MacSamplerUrl(base, parameters);
    MacLog("samplerURL: %s", url.c_str());
    if (!request) return {};

    std::string data;
    MacError error;
    if (!request(url, &data, &error)) MacLogText(error.localized_description);
    if (data.empty()) return {};

    const std::string folder = TemporaryFolder();
    if (folder.empty()) return {};
    const std::string path = JoinPath(folder, std::string("GL_") + id + ".png");
    if (!preview_path || path.size() >= cap) return {};
    MacLog("preview: %s", path.c_str());
    // An earlier picture under the name that cannot be taken away must not
    // pass for this one, nor anything that stands there be written through.
    if (!DeleteFileForce(path.c_str())) {
        MacLog("preview: cannot replace %s", path.c_str());
        return {};
    }
    if (!WriteWholeFile(path.c_str(), data.data(), data.size())) return {};
    CopyBounded(preview_path, cap, path.c_str());
    return path;
}

}  // namespace glyphoria::mac
