// The desktop's default handler on Windows: the shell's "open" verb with a
// normal window. The shell's own error box (no handler, no such file) is
// left out: it would stop the host with a modal window the plug-in did not
// ask for, and the caller decides what the user sees. The call returns once
// the handler has been started, so it is done before the caller goes on.
#include "platform/shell_open.h"

#include "platform/win32/windows_api.h"

#include <shellapi.h>

namespace glyphoria::platform {

namespace {

ShellOpenHook& Hook() {
    static ShellOpenHook hook;
    return hook;
}

}  // namespace

bool ShellOpen(const char* target) {
    if (!target || !*target) return false;
    if (Hook()) return Hook()(target);
    std::wstring wide = win32::Widen(target);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = wide.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
}

void SetShellOpenHook(const ShellOpenHook& hook) {
    Hook() = hook;
}

}  // namespace glyphoria::platform
