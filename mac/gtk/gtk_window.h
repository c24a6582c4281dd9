// A panel or window of the Mac forms as a GTK window.
//
// The saved-frame string has the window system's form, "x y w h sx sy sw
// sh": the window's place and size, then the rectangle of its monitor. One
// window at a time is key, and the windows shown are kept in their order on
// screen (front first) as the controllers and the person make them; a window
// the window manager activates becomes key and front too.
//
// A window of the panel class passes every key press through Panel_840
// before GTK gives it to the focus widget: typing and the keys Panel_840
// leaves to the first responder go on to the focused widget (the web view),
// the edit actions become the web view's editing commands, a key for the
// host goes to the host, and a key while another window is in front goes to
// that window. Clicks are delivered by GTK itself: an activating click is
// already the click here.
//
// A window whose description gives it no close control cannot be closed by
// the person (nor by the window manager's close request); the close of one
// that can asks its delegate (windowWillClose) and takes it off screen. The
// GTK window is destroyed with this object.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "mac/gtk/gtk_controls.h"
#include "mac/panel_events.h"
#include "mac/seam/panel_event.h"
#include "mac/seam/window.h"

namespace glyphoria::mac {

class GtkMacWebView;

class GtkMacWindow : public Window, public PanelWindowSystem {
  public:
    GtkMacWindow(const std::string& title, int width, int height, bool panel_class, bool closable);
    ~GtkMacWindow() override;
    GtkMacWindow(const GtkMacWindow&) = delete;
    GtkMacWindow& operator=(const GtkMacWindow&) = delete;

    GtkWindow* widget() const { return window_; }
    GtkControls& controls() { return controls_; }
    // The web view inside (the window keeps it), the first responder when
    // it has the focus.
    void setWebView(std::unique_ptr<GtkMacWebView> web_view);
    GtkMacWebView* webView() const { return web_view_.get(); }
    bool closable() const { return closable_; }
    // Key presses that reached this window's own handling (a panel's).
    int keyPressesSeen() const { return key_presses_; }

    std::string title() const override;
    void setTitle(const std::string& title) override;
    std::string frameString() const override;
    void setFrameFromString(const std::string& frame) override;
    bool isKeyWindow() const override;
    bool isVisible() const override;
    void makeKeyAndOrderFront() override;
    void orderFront() override;
    void orderOut() override;
    void setZoomButtonEnabled(bool enabled) override;
    void setDelegate(WindowDelegate* delegate) override { delegate_ = delegate; }
    ViewNode& contentView() override { return content_; }

    // PanelWindowSystem.
    bool isFrontWindow() const override;
    void sendToBase(const PanelEvent& event) override;
    void resignFirstResponder() override;
    void sendToFrontWindow(const PanelEvent& event) override;
    void firstResponderKeyDown(const PanelEvent& event) override;
    bool firstResponderRespondsTo(const std::string& action) const override;
    void performOnFirstResponder(const std::string& action) override;

  private:
    static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
    static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
    static gboolean OnFocusIn(GtkWidget* widget, GdkEvent* event, gpointer self);
    void toFront();
    void becomeKey();

    GtkWindow* window_;
    GtkControls controls_;
    ViewNode content_;
    std::unique_ptr<GtkMacWebView> web_view_;
    WindowDelegate* delegate_ = nullptr;
    bool closable_;
    std::unique_ptr<PanelEvents> panel_events_;
    // Inside a key press: whether GTK should go on and give it to the focus widget.
    GdkEventKey* current_key_ = nullptr;
    bool propagate_key_ = false;
    int key_presses_ = 0;
};

}  // namespace glyphoria::mac
