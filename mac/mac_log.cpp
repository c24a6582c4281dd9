// The Mac log file. The file is opened and closed for every line, so the
// trace is whole even when the host goes down.
#include "mac/mac_log.h"

#include <cstdarg>
#include <cstdio>
#include <iostream>

#include "mac/mac_folders.h"
#include "platform/fs.h"
#include "support/file_utils.h"
#include "support/limits.h"
#include "support/text_convert.h"
#include "support/vendor_addresses.h"

namespace glyphoria::mac {

namespace {

constexpr int kSeparatorLength = 37;
constexpr int kHostVersion = 55;

struct MacLogState {
    std::string path;
    MacClock clock;
    SystemLogSink sink = [](const std::string& text) { std::cerr << text << '\n'; };
};

MacLogState& State() {
    static MacLogState state;
    return state;
}

std::tm Now() {
    if (State().clock) return State().clock();
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* t = std::localtime(&now)) local = *t;
    return local;
}

std::string FormatTime(const char* format, const std::tm& when) {
    char buf[64];
    std::size_t n = std::strftime(buf, sizeof buf, format, &when);
    return std::string(buf, n);
}

void Append(const std::string& bytes) {
    const std::string& path = State().path;
    if (path.empty()) return;
    std::FILE* file = platform::OpenFile(path.c_str(), "ab");
    if (!file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

}  // namespace

void OpenMacLogInFolder(int mode, const std::string& folder, const char* subfolder) {
    MacLogState& state = State();
    state.path.clear();
    if (folder.empty()) return;
    std::string path = folder;
    if (subfolder && *subfolder) {
        path = JoinPath(path, subfolder);
        if (CreateFolder(path.c_str()) != 0) return;
    }
    path = JoinPath(path, "Glyphoria.txt");
    // A path the file functions' buffers cannot hold would be cut elsewhere.
    if (path.size() >= kPathBufferSize) return;

    std::FILE* file = platform::OpenFile(path.c_str(), mode == 1 ? "wb" : "ab");
    if (!file) return;
    std::fclose(file);
    state.path = path;

    if (mode == 0) Append(std::string(kSeparatorLength, '-') + "\n");
    Append(FormatTime("%d.%m.%Y", Now()) + ": " + ProductBanner() + "\n");
}

void OpenMacLog(int mode, const char* subfolder) {
    OpenMacLogInFolder(mode, DocumentsFolder(), subfolder);
}

void CloseMacLog() {
    State().path.clear();
}

const std::string& MacLogPath() {
    return State().path;
}

void MacLogText(const std::string& text) {
    std::string line =
        text.substr(0, Utf8PrefixLength(text.data(), text.size(), kLogMessageBufferSize - 1));
    SystemLog(line);
    Append(FormatTime("%H:%M:%S", Now()) + ": " + line + "\n");
}

void MacLog(const char* format, ...) {
    char buf[kLogMessageBufferSize];
    std::va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n >= 0 && static_cast<std::size_t>(n) < sizeof buf) {
        MacLogText(buf);
    } else if (n >= 0) {
        // Formatted whole so the cut can fall on a character boundary.
        std::string whole(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(whole.data(), whole.size(), format, again);
        whole.resize(static_cast<std::size_t>(n));
        MacLogText(whole);
    }
    va_end(again);
}

void SystemLog(const std::string& text) {
    if (State().sink) State().sink(text);
}

void SetMacLogClock(const MacClock& clock) {
    State().clock = clock;
}
void SetSystemLogSink(const SystemLogSink& sink) {
    State().sink = sink;
}

std::string ProductBanner() {
    return std::string(kProductName) + " " + kProductVersion + ", CS " +
           std::to_string(kHostVersion);
}

}  // namespace glyphoria::mac
