// The desktop's default handler on Windows: the shell's "open" verb with a
// normal window. ShellExecute reports success with a value above 32.
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
    HINSTANCE result =
        ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void SetShellOpenHook(const ShellOpenHook& hook) {
    Hook() = hook;
}

}  // namespace glyphoria::platform
