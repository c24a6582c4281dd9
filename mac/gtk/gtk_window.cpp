#include "mac/gtk/gtk_window.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "mac/gtk/gtk_events.h"
#include "mac/gtk/gtk_web_view.h"

namespace glyphoria::mac {

namespace {

// The windows on screen, front first, and the key window.
std::vector<GtkMacWindow*>& OnScreen() {
    static std::vector<GtkMacWindow*> windows;
    return windows;
}
GtkMacWindow*& KeyWindow() {
    static GtkMacWindow* key = nullptr;
    return key;
}

void Remove(GtkMacWindow* window) {
    auto& windows = OnScreen();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    if (KeyWindow() == window) KeyWindow() = nullptr;
}

}  // namespace

GtkMacWindow::GtkMacWindow(const std::string& title, int width, int height, bool panel_class,
                           bool closable)
    : window_(GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL))), closable_(closable) {
    g_object_ref_sink(window_);
    gtk_window_set_title(window_, title.c_str());
    gtk_window_set_default_size(window_, width, height);
    gtk_window_set_deletable(window_, closable);
    g_signal_connect(window_, "delete-event", G_CALLBACK(&GtkMacWindow::OnDelete), this);
    g_signal_connect(window_, "focus-in-event", G_CALLBACK(&GtkMacWindow::OnFocusIn), this);
    if (panel_class) {
        panel_events_ = std::make_unique<PanelEvents>(*this);
        g_signal_connect(window_, "key-press-event", G_CALLBACK(&GtkMacWindow::OnKeyPress), this);
    }
}

GtkMacWindow::~GtkMacWindow() {
    Remove(this);
    web_view_.reset();
    g_signal_handlers_disconnect_by_data(window_, this);
    gtk_widget_destroy(GTK_WIDGET(window_));
    g_object_unref(window_);
}

void GtkMacWindow::setWebView(std::unique_ptr<GtkMacWebView> web_view) {
    web_view_ = std::move(web_view);
}

std::string GtkMacWindow::title() const {
    const char* t = gtk_window_get_title(window_);
    return t ? t : "";
}

void GtkMacWindow::setTitle(const std::string& title) {
    gtk_window_set_title(window_, title.c_str());
}

std::string GtkMacWindow::frameString() const {
    int x = 0, y = 0, w = 0, h = 0;
    gtk_window_get_position(window_, &x, &y);
    gtk_window_get_size(window_, &w, &h);
    GdkRectangle screen = {0, 0, 0, 0};
    GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window_));
    GdkWindow* gdk = gtk_widget_get_window(GTK_WIDGET(window_));
    GdkMonitor* monitor = gdk ? gdk_display_get_monitor_at_window(display, gdk)
                              : gdk_display_get_primary_monitor(display);
    if (!monitor) monitor = gdk_display_get_monitor(display, 0);
    if (monitor) gdk_monitor_get_geometry(monitor, &screen);
    std::ostringstream out;
    out << x << " " << y << " " << w << " " << h << " " << screen.x << " " << screen.y << " "
        << screen.width << " " << screen.height;
    return out.str();
}

void GtkMacWindow::setFrameFromString(const std::string& frame) {
    std::istringstream in(frame);
    int x, y, w, h;
    // Like the window system, a string it cannot read changes nothing.
    if (!(in >> x >> y >> w >> h) || w <= 0 || h <= 0) return;
    gtk_window_move(window_, x, y);
    gtk_window_resize(window_, w, h);
}

bool GtkMacWindow::isKeyWindow() const {
    return KeyWindow() == this;
}

bool GtkMacWindow::isVisible() const {
    return gtk_widget_get_visible(GTK_WIDGET(window_));
}

void GtkMacWindow::toFront() {
    Remove(this);
    OnScreen().insert(OnScreen().begin(), this);
}

void GtkMacWindow::becomeKey() {
    KeyWindow() = this;
}

void GtkMacWindow::makeKeyAndOrderFront() {
    toFront();
    becomeKey();
    gtk_window_set_focus_on_map(window_, TRUE);
    gtk_window_present(window_);
}

void GtkMacWindow::orderFront() {
    GtkMacWindow* key = KeyWindow();
    toFront();
    // To the front without becoming key: shown without taking the focus.
    gtk_window_set_focus_on_map(window_, FALSE);
    gtk_widget_show(GTK_WIDGET(window_));
    if (GdkWindow* gdk = gtk_widget_get_window(GTK_WIDGET(window_))) gdk_window_raise(gdk);
    KeyWindow() = key;
}

void GtkMacWindow::orderOut() {
    Remove(this);
    gtk_widget_hide(GTK_WIDGET(window_));
}

void GtkMacWindow::setZoomButtonEnabled(bool enabled) {
    // The zoom button is the window manager's maximise: a dialog window has none.
    gtk_window_set_type_hint(window_,
                             enabled ? GDK_WINDOW_TYPE_HINT_NORMAL : GDK_WINDOW_TYPE_HINT_DIALOG);
}

gboolean GtkMacWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
    auto* window = static_cast<GtkMacWindow*>(self);
    if (window->closable_) {
        // The delegate may let this window go (released when idle).
        if (window->delegate_) window->delegate_->windowWillClose();
        window->orderOut();
    }
    return TRUE;
}

gboolean GtkMacWindow::OnFocusIn(GtkWidget*, GdkEvent*, gpointer self) {
    auto* window = static_cast<GtkMacWindow*>(self);
    window->toFront();
    window->becomeKey();
    return FALSE;
}

gboolean GtkMacWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
    auto* window = static_cast<GtkMacWindow*>(self);
    ++window->key_presses_;
    GdkEventKey* outer = window->current_key_;
    const bool outer_propagate = window->propagate_key_;
    window->current_key_ = event;
    window->propagate_key_ = false;
    window->panel_events_->sendEvent(PanelEventFromKey(*event));
    const bool propagate = window->propagate_key_;
    window->current_key_ = outer;
    window->propagate_key_ = outer_propagate;
    return propagate ? FALSE : TRUE;
}

bool GtkMacWindow::isFrontWindow() const {
    return !OnScreen().empty() && OnScreen().front() == this;
}

void GtkMacWindow::sendToBase(const PanelEvent& event) {
    if (event.type == kEventKeyDown) propagate_key_ = true;
}

void GtkMacWindow::resignFirstResponder() {
    gtk_window_set_focus(window_, nullptr);
}

void GtkMacWindow::sendToFrontWindow(const PanelEvent&) {
    if (OnScreen().empty() || OnScreen().front() == this || !current_key_) return;
    GtkWidget* front = GTK_WIDGET(OnScreen().front()->widget());
    gtk_widget_event(front, reinterpret_cast<GdkEvent*>(current_key_));
}

void GtkMacWindow::firstResponderKeyDown(const PanelEvent&) {
    // GTK goes on and gives the key to the focus widget.
    propagate_key_ = true;
}

bool GtkMacWindow::firstResponderRespondsTo(const std::string& action) const {
    return web_view_ && gtk_window_get_focus(window_) == web_view_->widget() &&
           GtkMacWebView::TakesEditAction(action);
}

void GtkMacWindow::performOnFirstResponder(const std::string& action) {
    if (firstResponderRespondsTo(action)) web_view_->performEditAction(action);
}

}  // namespace glyphoria::mac
