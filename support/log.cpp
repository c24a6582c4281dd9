// The log file. The file is opened and closed for every message, so whatever
// was logged before a crash of the host is on disk.
#include "support/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/folders.h"
#include "platform/fs.h"
#include "support/file_utils.h"
#include "support/limits.h"

namespace glyphoria {

namespace {

constexpr const char* kDefaultVendorFolder = "Kestrelworks";

struct LogState {
    char path[kPathBufferSize] = {};
    int level = 0;
    bool echo = true;
};

LogState& State() {
    static LogState state;
    return state;
}

// Appends to the file, creating it when missing. A new or empty file gets
// the byte-order mark first, so every file the log creates starts with it,
// even one removed while the host runs. A file that has content but no mark
// is left as it is: the mark written over its first bytes would destroy them.
void AppendToFile(const char* path, const char* text, std::size_t length) {
    if (!path[0]) return;
    std::FILE* file = platform::OpenFile(path, "ab");
    if (!file) return;
    if (std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) == 0) WriteUtf8Bom(file);
    if (length) std::fwrite(text, 1, length, file);
    std::fclose(file);
}

}  // namespace

void OpenLogInFolder(int mode, const char* folder, const char* vendor_folder) {
    LogState& state = State();
    state.path[0] = '\0';
    state.level = mode;

    char path[kPathBufferSize];
    // A folder that does not fit is not cut short: the log would go elsewhere.
    if (!folder || !*folder || std::strlen(folder) >= sizeof path) return;
    CopyBounded(path, sizeof path, folder);
    const char* vendor = vendor_folder ? vendor_folder : kDefaultVendorFolder;
    if (*vendor) {
        if (!AppendPathComponent(path, vendor)) return;
        CreateFolder(path);
    }
    if (!AppendPathComponent(path, "Glyphoria") || !AppendExtension(path, "txt")) return;
    CopyBounded(state.path, sizeof state.path, path);

    if (FileSize(state.path) > static_cast<std::uint32_t>(kLogSizeLimit))
        DeleteFileForce(state.path);
    if (mode == 1) AppendToFile(state.path, "", 0);
}

void OpenLog(int mode, const char* vendor_folder) {
    char documents[kPathBufferSize];
    if (!platform::GetShellFolder(platform::kFolderPersonal, documents, sizeof documents))
        documents[0] = '\0';
    OpenLogInFolder(mode, documents, vendor_folder);
}

void LogMessage(const char* format, ...) {
    LogState& state = State();
    if (state.level == 0 || !format) return;
    char buf[kLogMessageBufferSize];
    std::va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    // A cut message would mislead whoever reads the trace; it is dropped whole.
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf) return;
    if (state.echo) {
        std::fwrite(buf, 1, static_cast<std::size_t>(n), stdout);
        std::fflush(stdout);
    }
    AppendToFile(state.path, buf, static_cast<std::size_t>(n));
}

void LogTime(const char* prefix, const char* suffix) {
    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local) return;
    LogMessage("%s%02d:%02d:%02d%s", prefix ? prefix : "", local->tm_hour, local->tm_min,
               local->tm_sec, suffix ? suffix : "\r");
}

int LogLevel() {
    return State().level;
}

const char* LogPath() {
    return State().path;
}

void SetLogEcho(bool on) {
    State().echo = on;
}

}  // namespace glyphoria
