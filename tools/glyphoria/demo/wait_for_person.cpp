#include "tools/glyphoria/demo/wait_for_person.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace glyphoria::demo {

namespace {

volatile sig_atomic_t g_signalled = 0;

extern "C" void OnSignal(int) {
    g_signalled = 1;
}

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
// A signal that comes between the flag test and poll is seen at the next
// timeout at the latest.
constexpr int kPollMs = 200;

}  // namespace

bool WaitForEnterOrSignal(const std::function<void()>& announce) {
    g_signalled = 0;
    struct sigaction previous[3];
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i)
        sigaction(kSignals[i], &action, &previous[i]);
    if (announce) announce();

    bool entered = false;
    bool input_open = true;
    while (!g_signalled && !entered) {
        pollfd input = {STDIN_FILENO, POLLIN, 0};
        const int ready = poll(input_open ? &input : nullptr, input_open ? 1 : 0, kPollMs);
        if (ready <= 0 || !(input.revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char c = 0;
        const ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n == 0 || (n < 0 && errno != EINTR))
            input_open = false;
        else if (c == '\n')
            entered = true;
    }
    for (int i = 0; i < 3; ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
    return entered;
}

}  // namespace glyphoria::demo
