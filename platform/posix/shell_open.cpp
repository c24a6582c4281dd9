// The desktop's default handler on POSIX: xdg-open, started without a shell.
#include "platform/shell_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <vector>

extern char** environ;

namespace glyphoria::platform {

namespace {

ShellOpenHook& Hook() {
    static ShellOpenHook hook;
    return hook;
}

// Nobody waits for a handler when it is started; the ones that have ended
// since are reaped at the next request, without touching the process's
// SIGCHLD disposition, which belongs to the host.
std::vector<pid_t>& Pending() {
    static std::vector<pid_t> pids;
    return pids;
}

void ReapEnded() {
    auto& pids = Pending();
    pids.erase(std::remove_if(pids.begin(), pids.end(),
                              [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; }),
               pids.end());
}

}  // namespace

bool ShellOpen(const char* target) {
    if (!target || !*target) return false;
    if (Hook()) return Hook()(target);
    ReapEnded();
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(target), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
    Pending().push_back(pid);
    return true;
}

void SetShellOpenHook(const ShellOpenHook& hook) {
    Hook() = hook;
}

}  // namespace glyphoria::platform
