#include "testing/webwindow_gtk/gtk_setup.h"

#include <gdk/gdkx.h>

namespace glyphoria::testing::webwindow_gtk {

bool EnsureGtk() {
    if (gdk_display_get_default()) return true;
    // gtk_disable_setlocale may come only once, and only before GTK's first
    // start; a start that found no display still counts.
    static bool locale_kept = false;
    if (!locale_kept) {
        gtk_disable_setlocale();
        locale_kept = true;
    }
    return gtk_init_check(nullptr, nullptr) && gdk_display_get_default();
}

GtkWindow* HostWindowOf(int32_t xid) {
    GdkDisplay* display = gdk_display_get_default();
    if (xid == 0 || !display || !GDK_IS_X11_DISPLAY(display)) return nullptr;
    // Only windows GDK made in this process: no request reaches the X
    // server, so a stale or made-up number cannot raise an X error.
    GdkWindow* window =
        gdk_x11_window_lookup_for_display(display, static_cast<Window>(static_cast<uint32_t>(xid)));
    if (!window) return nullptr;
    gpointer widget = nullptr;
    gdk_window_get_user_data(gdk_window_get_toplevel(window), &widget);
    return widget && GTK_IS_WINDOW(widget) ? GTK_WINDOW(widget) : nullptr;
}

}  // namespace glyphoria::testing::webwindow_gtk
