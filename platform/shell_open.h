// Handing an address or a file to the system's default handler, the way the
// desktop opens it when the user clicks it (the shell's "open" verb with a
// normal window).
//
// Windows: ShellExecuteEx with "open" and a normal window; a failure shows
// none of the shell's own messages. POSIX: "xdg-open" started with
// posix_spawnp (no shell in between, so the target is one argument whatever
// it contains) and not waited for.
//
// True when the handler was started; false for a target nothing can open
// (nothing is shown). Tests see every request through the hook instead of
// starting anything.
#pragma once

#include <functional>

namespace glyphoria::platform {

bool ShellOpen(const char* target);

// An empty hook restores the system's handler.
using ShellOpenHook = std::function<bool(const char* target)>;
void SetShellOpenHook(const ShellOpenHook& hook);

}  // namespace glyphoria::platform
