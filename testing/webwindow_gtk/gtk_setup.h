// GTK for the web-window library: opened by the library itself when the host
// has not opened it, and the host's window from the "hostWnd" answer.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>

namespace glyphoria::testing::webwindow_gtk {

// True when GTK is ready on this thread: already opened by the host, or
// opened now. The library opens it without touching the process's locale
// (the plug-in writes numbers with the C library and expects "."). False
// when no display can be opened; a later call tries again.
bool EnsureGtk();

// The "hostWnd" answer read as an X11 window id (what GDK_WINDOW_XID gives;
// it fits the callback's 32 bits): the GtkWindow of this process that owns
// that X window, or null (0, an id of another program or of no window, or a
// display that is not X11).
GtkWindow* HostWindowOf(int32_t xid);

}  // namespace glyphoria::testing::webwindow_gtk
