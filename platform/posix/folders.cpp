// Per-user folders on POSIX, after the XDG base-directory and user-dirs
// conventions. Relative values in the variables are ignored, as the XDG
// rules require.
#include "platform/folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace glyphoria::platform {

namespace {

bool IsAbsolute(const char* path) {
    return path && path[0] == '/';
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) return home;
    // No usable HOME (daemons, stripped environments): the password database.
    struct passwd pw;
    struct passwd* result = nullptr;
    char buf[4096];
    if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &result) == 0 && result &&
        IsAbsolute(result->pw_dir))
        return result->pw_dir;
    return {};
}

// An absolute path from the environment, or empty.
std::string EnvFolder(const char* name) {
    const char* value = std::getenv(name);
    return IsAbsolute(value) ? std::string(value) : std::string();
}

std::string ConfigHome(const std::string& home) {
    std::string dir = EnvFolder("XDG_CONFIG_HOME");
    if (dir.empty() && !home.empty()) dir = home + "/.config";
    return dir;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The value of NAME in user-dirs.dirs: lines NAME="$HOME/sub" or
// NAME="/absolute"; anything else there is not a folder and is ignored.
std::string UserDirsEntry(const char* name, const std::string& home) {
    std::string config = ConfigHome(home);
    if (config.empty()) return {};
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    const std::size_t name_len = std::strlen(name);
    std::string found;
    while (std::getline(in, line)) {
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        if (line.compare(start, name_len, name) != 0) continue;
        std::size_t pos = start + name_len;
        if (pos >= line.size() || line[pos] != '=') continue;
        std::string value = line.substr(pos + 1);
        while (!value.empty() &&
               (value.back() == '\r' || value.back() == ' ' || value.back() == '\t'))
            value.pop_back();
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
        value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/')) {
            if (home.empty()) continue;
            value = home + value.substr(5);
        } else if (!IsAbsolute(value.c_str())) {
            continue;
        }
        found = value;  // the last assignment wins, as in a shell
    }
    return found;
}

std::string UserFolder(const char* variable, const char* fallback_name, const std::string& home,
                       bool fallback_must_exist) {
    std::string dir = EnvFolder(variable);
    if (dir.empty()) dir = UserDirsEntry(variable, home);
    if (!dir.empty()) return dir;
    if (home.empty()) return {};
    std::string standard = home + "/" + fallback_name;
    if (!fallback_must_exist || IsFolder(standard)) return standard;
    return home;
}

// Creates the folder and any missing parents; true when it is a folder then.
bool MakeFolders(const std::string& path) {
    if (IsFolder(path)) return true;
    std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return false;
    return mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && IsFolder(path));
}

std::string TempFolder() {
    std::string tmp = EnvFolder("TMPDIR");
    return tmp.empty() ? std::string("/tmp") : tmp;
}

// The shared temporary folder lets anyone create names in it, so our folder
// there is checked as it stands (never through a link) each time it is
// asked for.
std::string UserTempFolder() {
    std::string tmp = TempFolder();
    while (tmp.size() > 1 && tmp.back() == '/')
        tmp.pop_back();
    const std::string folder = tmp + "/glyphoria-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st;
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return {};
    if ((st.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) return {};
    return folder;
}

std::string FolderPath(int folder) {
    const std::string home = HomeFolder();
    switch (folder) {
        case kFolderAppData: {
            // Always there on Windows; a fresh account here may lack it, and
            // the preferences could then never be saved.
            std::string config = ConfigHome(home);
            return !config.empty() && MakeFolders(config) ? config : std::string();
        }
        case kFolderPersonal:
            return UserFolder("XDG_DOCUMENTS_DIR", "Documents", home, true);
        case kFolderDownloads:
            return UserFolder("XDG_DOWNLOAD_DIR", "Downloads", home, false);
        case kFolderFonts: {
            std::string data = EnvFolder("XDG_DATA_HOME");
            if (data.empty() && !home.empty()) data = home + "/.local/share";
            if (data.empty()) return {};
            std::string fonts = data + "/fonts";
            return MakeFolders(fonts) ? fonts : std::string();
        }
        case kFolderTemp:
            return TempFolder();
        case kFolderUserTemp:
            return UserTempFolder();
        default:
            return {};
    }
}

}  // namespace

bool GetShellFolder(int folder, char* buf, std::size_t cap) {
    if (!buf || cap == 0) return false;
    buf[0] = '\0';
    std::string path = FolderPath(folder);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty() || path.size() >= cap) return false;
    std::memcpy(buf, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace glyphoria::platform
