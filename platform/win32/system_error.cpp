// System error texts on Windows: FormatMessageW from the system's message
// table, in the user's language.
#include "platform/system_error.h"

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

namespace {

SystemErrorTextSource g_source = nullptr;

}  // namespace

std::string SystemErrorText(int code) {
    if (code == 0) code = static_cast<int>(GetLastError());
    if (g_source) return g_source(code);
    win32::ScopedLocal buffer;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(code), 0,
                             reinterpret_cast<LPWSTR>(buffer.receive()), 0, nullptr);
    std::string text;
    if (n > 0 && buffer) text = win32::Narrow(static_cast<const wchar_t*>(buffer.get()), static_cast<int>(n));
    // The system's texts end in a line break.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) return "Unknown error " + std::to_string(code);
    return text;
}

void SetSystemErrorTextSource(SystemErrorTextSource source) {
    g_source = source;
}

}  // namespace glyphoria::platform
