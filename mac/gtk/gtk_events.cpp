#include "mac/gtk/gtk_events.h"

#include <string>

namespace glyphoria::mac {

namespace {

constexpr GdkModifierType kMacControlMasks =
    static_cast<GdkModifierType>(GDK_SUPER_MASK | GDK_META_MASK);

std::string Utf8(gunichar c) {
    char buf[8] = {};
    const int n = g_unichar_to_utf8(c, buf);
    return std::string(buf, static_cast<std::size_t>(n));
}

// The input window GTK gives the widget's events to: its own event window
// where it has one (buttons have an input-only one), else its window.
GdkWindow* EventWindowOf(GtkWidget* widget) {
    GdkWindow* parent = gtk_widget_get_window(widget);
    for (GList* l = parent ? gdk_window_peek_children(parent) : nullptr; l; l = l->next) {
        gpointer data = nullptr;
        gdk_window_get_user_data(GDK_WINDOW(l->data), &data);
        if (data == widget) return GDK_WINDOW(l->data);
    }
    return parent;
}

GdkSeat* Seat() {
    return gdk_display_get_default_seat(gdk_display_get_default());
}

}  // namespace

PanelEvent PanelEventFromKey(const GdkEventKey& key) {
    PanelEvent event;
    event.type = kEventKeyDown;
    const guint state = key.state;
    if (state & GDK_CONTROL_MASK) event.modifier_flags |= kCommandKeyMask;
    if (state & GDK_SHIFT_MASK) event.modifier_flags |= kShiftKeyMask;
    if (state & GDK_MOD1_MASK) event.modifier_flags |= kAlternateKeyMask;
    if (state & GDK_LOCK_MASK) event.modifier_flags |= kCapsLockKeyMask;
    if (state & kMacControlMasks) event.modifier_flags |= kControlKeyMask;
    const gunichar c = gdk_keyval_to_unicode(key.keyval);
    if (c) event.characters_ignoring_modifiers = Utf8(c);
    return event;
}

void ClickWidget(GtkWidget* widget) {
    GdkWindow* window = EventWindowOf(widget);
    if (!window) return;
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    double x = a.width / 2.0, y = a.height / 2.0;
    // Coordinates are the event window's: a widget without its own window
    // sits at its allocation inside its parent's.
    if (window == gtk_widget_get_window(widget) && !gtk_widget_get_has_window(widget)) {
        x += a.x;
        y += a.y;
    }
    for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        GdkEvent* e = gdk_event_new(type);
        e->button.window = GDK_WINDOW(g_object_ref(window));
        e->button.send_event = TRUE;
        e->button.time = GDK_CURRENT_TIME;
        e->button.x = x;
        e->button.y = y;
        e->button.button = 1;
        gdk_event_set_device(e, gdk_seat_get_pointer(Seat()));
        gtk_main_do_event(e);
        gdk_event_free(e);
    }
}

void PressKeyIn(GtkWindow* window, const PanelEvent& event) {
    GdkWindow* target = gtk_widget_get_window(GTK_WIDGET(window));
    if (!target) return;
    const gunichar c = g_utf8_get_char_validated(event.characters_ignoring_modifiers.c_str(), -1);
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2) || c == 0) return;
    guint state = 0;
    if (event.modifier_flags & kCommandKeyMask) state |= GDK_CONTROL_MASK;
    if (event.modifier_flags & kShiftKeyMask) state |= GDK_SHIFT_MASK;
    if (event.modifier_flags & kAlternateKeyMask) state |= GDK_MOD1_MASK;
    if (event.modifier_flags & kCapsLockKeyMask) state |= GDK_LOCK_MASK;
    if (event.modifier_flags & kControlKeyMask) state |= GDK_SUPER_MASK;
    const guint keyval = gdk_unicode_to_keyval(c);
    guint16 keycode = 0;
    GdkKeymapKey* keys = nullptr;
    gint n = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                          keyval, &keys, &n) &&
        n > 0)
        keycode = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
        GdkEvent* e = gdk_event_new(type);
        e->key.window = GDK_WINDOW(g_object_ref(target));
        e->key.send_event = TRUE;
        e->key.time = GDK_CURRENT_TIME;
        e->key.state = state;
        e->key.keyval = keyval;
        e->key.hardware_keycode = keycode;
        gdk_event_set_device(e, gdk_seat_get_keyboard(Seat()));
        gtk_main_do_event(e);
        gdk_event_free(e);
    }
}

void RequestClose(GtkWindow* window) {
    GdkWindow* target = gtk_widget_get_window(GTK_WIDGET(window));
    if (!target) return;
    GdkEvent* e = gdk_event_new(GDK_DELETE);
    e->any.window = GDK_WINDOW(g_object_ref(target));
    e->any.send_event = TRUE;
    gtk_main_do_event(e);
    gdk_event_free(e);
}

}  // namespace glyphoria::mac
