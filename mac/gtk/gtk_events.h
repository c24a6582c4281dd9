// The window system's events as the panel class sees them, and the user's
// hands made of real GDK events.
//
// Modifiers on this machine: Ctrl stands for the Mac's Command key, Alt for
// Option, Super (or Meta) for the Mac's Control key; Shift and Caps Lock are
// themselves. The key's characters are the key value's own, as GDK has them
// with Shift and Caps Lock applied.
//
// The synthesized events go through GTK's own delivery (gtk_main_do_event),
// so a modal window, a sheet or an insensitive control keeps them from where
// they are not allowed, as it keeps a person's.
#pragma once

#include <gtk/gtk.h>

#include "mac/seam/panel_event.h"

namespace glyphoria::mac {

PanelEvent PanelEventFromKey(const GdkEventKey& key);

// A press and release of the left button in the middle of the widget.
void ClickWidget(GtkWidget* widget);
// A key press (and release) in the toplevel window, as the keyboard gives it.
void PressKeyIn(GtkWindow* window, const PanelEvent& event);
// The window manager's close request for the window.
void RequestClose(GtkWindow* window);

}  // namespace glyphoria::mac
