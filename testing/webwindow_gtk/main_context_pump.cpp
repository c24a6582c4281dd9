#include "testing/webwindow_gtk/main_context_pump.h"

#include <glib.h>

namespace glyphoria::testing::webwindow_gtk {

namespace {

gboolean OnDeadline(gpointer passed) {
    *static_cast<bool*>(passed) = true;
    return G_SOURCE_REMOVE;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (done()) return true;
    bool expired = false;
    // The deadline is a source of its own, so a blocking iteration always
    // wakes in time even when nothing else happens.
    guint deadline = g_timeout_add(static_cast<guint>(limit.count()), OnDeadline, &expired);
    while (!done() && !expired)
        g_main_context_iteration(nullptr, TRUE);
    if (!expired) g_source_remove(deadline);
    return done();
}

void PumpPending() {
    while (g_main_context_pending(nullptr))
        g_main_context_iteration(nullptr, FALSE);
}

}  // namespace glyphoria::testing::webwindow_gtk
