// Shell execute and the clipboard.
#include "dialogs/shell.h"

#include "platform/win32/windows_api.h"
// These need windows.h before them.
#include <shellapi.h>

#include <cstring>
#include <string>

namespace glyphoria {

namespace {

using platform::win32::Widen;

int Execute(const wchar_t* verb, const std::wstring& file, const std::wstring& parameters,
            int show) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // No error box of the shell's own, and wait for it to hand the document
    // on before answering.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = show;
    if (!ShellExecuteExW(&info)) return -1;
    return reinterpret_cast<INT_PTR>(info.hInstApp) <= 32 ? -1 : 0;
}

// A window of our own to own the clipboard while we fill it: with no owner
// the system refuses the data.
HWND ClipboardOwner() {
    static HWND owner = CreateWindowExW(0, L"Static", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    return owner;
}

}  // namespace

int OpenWithShell(const char* path) {
    if (!path) return -1;
    return Execute(nullptr, Widen(path), std::wstring(), SW_SHOWNORMAL);
}

int OpenWithShellArgs(const char* path, const char* parameters) {
    if (!path) return -1;
    return Execute(nullptr, Widen(path), Widen(parameters), SW_SHOWNORMAL);
}

int ShowInExplorer(const char* path) {
    if (!path) return -1;
    return Execute(L"Open", L"Explorer", L"/n,/select," + Widen(path), SW_SHOWDEFAULT);
}

void CopyTextToClipboard(const char* text) {
    if (!text) return;
    const std::wstring wide = Widen(text);
    if (!OpenClipboard(ClipboardOwner())) return;
    EmptyClipboard();
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
    if (memory) {
        if (void* data = GlobalLock(memory)) {
            std::memcpy(data, wide.c_str(), bytes);
            GlobalUnlock(memory);
            // On success the clipboard owns the memory.
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

}  // namespace glyphoria
