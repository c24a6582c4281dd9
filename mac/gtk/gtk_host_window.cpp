#include "mac/gtk/gtk_host_window.h"

#include <gdk/gdkx.h>

#include "mac/mac_services.h"

namespace glyphoria::mac {

GtkWindow* HostMainGtkWindow() {
    const HostMainWindow& handle = Services().host_main_window;
    const std::uintptr_t xid = handle ? handle() : 0;
    GdkDisplay* display = gdk_display_get_default();
    if (xid == 0 || !display || !GDK_IS_X11_DISPLAY(display)) return nullptr;
    // Only windows GDK made in this process: nothing reaches the X server, so
    // a number that names no window (the host's stand-in constant) is harmless.
    GdkWindow* window = gdk_x11_window_lookup_for_display(
        display, static_cast<::Window>(static_cast<std::uint32_t>(xid)));
    if (!window) return nullptr;
    gpointer widget = nullptr;
    gdk_window_get_user_data(gdk_window_get_toplevel(window), &widget);
    return widget && GTK_IS_WINDOW(widget) ? GTK_WINDOW(widget) : nullptr;
}

}  // namespace glyphoria::mac
