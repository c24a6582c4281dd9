// Waiting for a person: returns when a line is entered on standard input or
// SIGINT, SIGTERM or SIGHUP arrives. A closed standard input (a run in the
// background) leaves only the signals. The previous signal handlers are put
// back before it returns.
#pragma once

#include <functional>

namespace glyphoria::demo {

// announce runs once the signals are caught, so a person (or a script) who
// reacts to its text at once is already heard. true when Enter ended the
// wait, false for a signal.
bool WaitForEnterOrSignal(const std::function<void()>& announce);

}  // namespace glyphoria::demo
