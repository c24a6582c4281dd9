#include "mac/mac_folders.h"

#include <cstdlib>

#include "platform/folders.h"
#include "platform/fs.h"
#include "support/file_utils.h"
#include "support/limits.h"

#ifndef GLYPHORIA_MAC_RESOURCES_DIR
#define GLYPHORIA_MAC_RESOURCES_DIR ""
#endif

namespace glyphoria::mac {

namespace {

std::string& SupportOverride() {
    static std::string path;
    return path;
}

std::string& ResourcesOverride() {
    static std::string path;
    return path;
}

std::string ShellFolder(int id) {
    char buf[kPathBufferSize];
    if (!platform::GetShellFolder(id, buf, sizeof buf)) return {};
    return buf;
}

}  // namespace

std::string ApplicationSupportFolder() {
    if (!SupportOverride().empty()) return SupportOverride();
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) return JoinPath(data, "Glyphoria-mac-support");
    const char* home = std::getenv("HOME");
    if (!home || !*home) return {};
    return JoinPath(JoinPath(home, ".local/share"), "Glyphoria-mac-support");
}

std::string DocumentsFolder() {
    return ShellFolder(platform::kFolderPersonal);
}
std::string TemporaryFolder() {
    // The Mac's temporary folder is the user's own; the shared one here is
    // not, so the user's folder inside it stands in.
    return ShellFolder(platform::kFolderUserTemp);
}

std::string BundleResourcesFolder() {
    if (!ResourcesOverride().empty()) return ResourcesOverride();
    return GLYPHORIA_MAC_RESOURCES_DIR;
}

void SetApplicationSupportFolder(const std::string& path) {
    SupportOverride() = path;
}
void SetBundleResourcesFolder(const std::string& path) {
    ResourcesOverride() = path;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

bool CreateFolders(const std::string& path) {
    if (path.empty()) return false;
    // Every prefix that ends before a separator, then the whole path.
    for (std::size_t pos = path.find('/', 1); pos != std::string::npos;
         pos = path.find('/', pos + 1)) {
        CreateFolder(path.substr(0, pos).c_str());
    }
    CreateFolder(path.c_str());
    return platform::StatPath(path.c_str()).is_directory;
}

}  // namespace glyphoria::mac
