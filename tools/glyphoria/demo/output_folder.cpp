#include "tools/glyphoria/demo/output_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace glyphoria::demo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMarkName = ".glyphoria-demo";
// The plug-in keeps paths in 512-byte buffers; its longest names below the
// output folder (previews, fonts) need well under 200 bytes of their own.
constexpr std::size_t kMaxRootLength = 300;

bool IsEmptyFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec) &&
           fs::directory_iterator(path, ec) == fs::directory_iterator();
}

}  // namespace

OutputFolder LayOutOutputFolder(const std::string& root) {
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(root), ec).lexically_normal();
    std::string r = absolute.string();
    while (r.size() > 1 && r.back() == '/')
        r.pop_back();
    OutputFolder f;
    f.root = r;
    f.home = r + "/home";
    f.config = f.home + "/config";
    f.documents = f.home + "/Documents";
    f.downloads = f.home + "/Downloads";
    f.data = f.home + "/data";
    f.fonts = f.data + "/fonts";
    f.cache = f.home + "/cache";
    f.temp = r + "/tmp";
    f.pictures = r + "/pictures";
    f.prefs_file = f.config + "/Glyphoria.ini";
    f.log_file = f.documents + "/Glyphoria.txt";
    f.summary_file = r + "/summary.txt";
    f.console_file = r + "/plugin-console.txt";
    f.shop_log_file = r + "/shop-requests.txt";
    return f;
}

bool PrepareOutputFolder(const OutputFolder& folder, std::string* error) {
    if (folder.root.size() > kMaxRootLength) {
        *error = "the output folder's path is longer than " + std::to_string(kMaxRootLength) +
                 " bytes: " + folder.root;
        return false;
    }
    const fs::path root(folder.root);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(root, ec))) {
        if (!fs::is_directory(root, ec)) {
            *error = folder.root + " exists and is not a folder";
            return false;
        }
        const bool marked = fs::exists(fs::symlink_status(root / kMarkName, ec));
        if (!marked && !IsEmptyFolder(root)) {
            *error = folder.root +
                     " is not empty and was not made by glyphoria demo; name another folder";
            return false;
        }
        // Only what is inside goes: the folder may be a link the user made.
        for (const auto& entry : fs::directory_iterator(root, ec)) {
            std::error_code remove_error;
            fs::remove_all(entry.path(), remove_error);
            if (remove_error) {
                *error = "cannot remove " + entry.path().string() + ": " + remove_error.message();
                return false;
            }
        }
    }
    for (const std::string& dir : {folder.root, folder.config, folder.documents, folder.downloads,
                                   folder.fonts, folder.cache, folder.temp, folder.pictures}) {
        fs::create_directories(dir, ec);
        if (ec) {
            *error = "cannot make " + dir + ": " + ec.message();
            return false;
        }
    }
    std::ofstream mark(root / kMarkName);
    mark << "Made by glyphoria demo; the next run empties this folder.\n";
    if (!mark) {
        *error = "cannot write in " + folder.root;
        return false;
    }
    return true;
}

SessionEnvironment::SessionEnvironment(const OutputFolder& folder) {
    set_ = {{"HOME", folder.home},
            {"XDG_CONFIG_HOME", folder.config},
            {"XDG_DOCUMENTS_DIR", folder.documents},
            {"XDG_DOWNLOAD_DIR", folder.downloads},
            {"XDG_DATA_HOME", folder.data},
            {"XDG_CACHE_HOME", folder.cache},
            {"TMPDIR", folder.temp}};
    for (const auto& [name, value] : set_) {
        const char* old = std::getenv(name.c_str());
        saved_.push_back(Saved{name, old ? old : "", old != nullptr});
        setenv(name.c_str(), value.c_str(), 1);
    }
}

SessionEnvironment::~SessionEnvironment() {
    for (const Saved& s : saved_) {
        if (s.had)
            setenv(s.name.c_str(), s.value.c_str(), 1);
        else
            unsetenv(s.name.c_str());
    }
}

}  // namespace glyphoria::demo
