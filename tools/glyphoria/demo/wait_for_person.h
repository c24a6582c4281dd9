// Waiting for a person: returns when a line is entered on standard input or
// SIGINT, SIGTERM or SIGHUP arrives. A closed standard input (a run in the
// background) leaves only the signals. The previous signal handlers are put
// back before it returns.
#pragma once

namespace glyphoria::demo {

// true when Enter ended the wait, false for a signal.
bool WaitForEnterOrSignal();

}  // namespace glyphoria::demo
