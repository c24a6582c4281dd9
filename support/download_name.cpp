#include "support/download_name.h"

#include <cstring>

#include "platform/fs.h"
#include "platform/new_file.h"
#include "platform/path_style.h"

namespace glyphoria {

namespace {

// The temporary a download is written to before it gets its name.
constexpr const char* kTempPrefix = ".glyphoria-";
constexpr const char* kTempSuffix = ".part";

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The part before the first dot, blanks at its end dropped, as Windows
// reads a name to decide whether it is a device.
bool IsDeviceName(const char* name) {
    std::string stem;
    for (const char* p = name; *p && *p != '.'; ++p)
        stem.push_back(Upper(*p));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (stem == device) return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '0' && stem[3] <= '9';
}

std::string Join(const std::string& folder, const std::string& name) {
    std::string path = folder;
    if (!path.empty() && path.back() != platform::kPathSeparator && path.back() != '/')
        path += platform::kPathSeparator;
    return path + name;
}

// The candidate for a number: the name itself for 1.
std::string Candidate(const std::string& name, int number) {
    return number == 1 ? name : NumberedName(name, number);
}

}  // namespace

bool IsSafeDownloadName(const char* name) {
    if (!name || !*name) return false;
    bool blank = true;
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7F || std::strchr("/\\:<>\"|?*", c)) return false;
        if (c != ' ') blank = false;
    }
    const char last = name[std::strlen(name) - 1];
    if (blank || name[0] == '.' || last == '.' || last == ' ') return false;
    return !IsDeviceName(name);
}

std::string NumberedName(const std::string& name, int number) {
    const std::size_t dot = name.rfind('.');
    const std::size_t split = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, split) + " (" + std::to_string(number) + ")" + name.substr(split);
}

std::string FreePathIn(const std::string& folder, const std::string& name, std::size_t max_path) {
    for (int number = 1; number <= kMaxNameNumber; ++number) {
        const std::string path = Join(folder, Candidate(name, number));
        if (path.size() >= max_path) return {};
        if (!platform::EntryExists(path.c_str())) return path;
    }
    return {};
}

bool SaveUnderFreeName(const std::string& folder, const std::string& name, const void* bytes,
                       std::size_t length, std::size_t max_path, std::string* saved_path) {
    // What an interrupted download left goes first.
    platform::RemoveLeftovers(folder.c_str(), kTempPrefix, kTempSuffix);
    char temp[1024];
    platform::NewFile file;
    // A short temporary name: the final one may be at the length limit.
    if (!file.CreateUnique(folder.c_str(), kTempPrefix, kTempSuffix, temp, sizeof temp))
        return false;
    bool ok = length == 0 || file.Write(bytes, length);
    ok = file.Close() && ok;
    for (int number = 1; ok && number <= kMaxNameNumber; ++number) {
        const std::string path = Join(folder, Candidate(name, number));
        if (path.size() >= max_path) break;
        const platform::MoveResult moved = platform::MoveNoReplace(temp, path.c_str());
        if (moved == platform::MoveResult::kMoved) {
            if (saved_path) *saved_path = path;
            return true;
        }
        // Some systems refuse a file over a folder as "denied", not "exists".
        if (moved == platform::MoveResult::kFailed && !platform::EntryExists(path.c_str())) break;
    }
    platform::RemoveFile(temp);
    return false;
}

}  // namespace glyphoria
