// Waiting for the web engine without a loop of one's own: runs the default
// GLib main context on the calling thread until a condition holds or a time
// limit passes. Safe inside a running main loop (the iterations nest), so the
// same wait serves a host that runs GTK's loop and a script that runs none.
// Must be called on the thread that owns the default main context.
#pragma once

#include <chrono>
#include <functional>

namespace glyphoria::testing::webwindow_gtk {

// True when done() held before the limit passed.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Runs what is due now without waiting for more.
void PumpPending();

}  // namespace glyphoria::testing::webwindow_gtk
