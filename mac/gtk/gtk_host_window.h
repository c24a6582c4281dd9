// The host's main window on GTK, when the host shows one: the handle the host
// hands out (its X11 id, mac_services.h) as the GTK window of this process,
// or null (no such window here, another window system, no handle).
#pragma once

#include <gtk/gtk.h>

namespace glyphoria::mac {

GtkWindow* HostMainGtkWindow();

}  // namespace glyphoria::mac
