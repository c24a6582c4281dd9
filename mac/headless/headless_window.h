// A window without a screen: it keeps its title, frame, key and visible
// state and its view tree, and lets a test act as the user (close it, move
// it, click into it, press keys). The saved-frame string has the window
// system's form, "x y w h sx sy sw sh" with the screen's rectangle at the end.
//
// One window at a time is key, and the windows shown are kept in their
// order on screen, front first, as the window system does. A window of the
// panel class (setPanelClass) passes its events through Panel_840; any
// other handles them itself: a mouse-down makes it key and front (and a
// click into the page makes the web view the first responder), a key-down
// goes to the first responder. The web view, as first responder, types the
// key and takes the edit actions.
//
// While a sheet is over the window (its content view disabled) the window
// takes no clicks, no keys and cannot be closed; a window whose description
// gives it no close control (setClosable(false)) cannot be closed by the user.
#pragma once

#include <memory>
#include <string>

#include "mac/panel_events.h"
#include "mac/seam/panel_event.h"
#include "mac/seam/window.h"

namespace glyphoria::mac {

class HeadlessWebView;

class HeadlessWindow : public Window, public PanelWindowSystem {
  public:
    explicit HeadlessWindow(std::string title = {});
    ~HeadlessWindow() override;

    std::string title() const override { return title_; }
    void setTitle(const std::string& title) override { title_ = title; }
    std::string frameString() const override;
    void setFrameFromString(const std::string& frame) override;
    bool isKeyWindow() const override { return key_; }
    bool isVisible() const override { return visible_; }
    void makeKeyAndOrderFront() override;
    void orderFront() override;
    void orderOut() override;
    void setZoomButtonEnabled(bool enabled) override { zoom_enabled_ = enabled; }
    void setDelegate(WindowDelegate* delegate) override { delegate_ = delegate; }
    ViewNode& contentView() override { return content_; }

    // The window description's part.
    void setPanelClass(bool panel);
    void setClosable(bool closable) { closable_ = closable; }

    // The user. userClose and userEvent are false when the window does not
    // take them (no close control, a sheet over it).
    bool userClose();
    void userMove(int x, int y, int width, int height);
    bool userEvent(const PanelEvent& event);
    void resignKey() { key_ = false; }

    bool zoomButtonEnabled() const { return zoom_enabled_; }
    int frontCount() const { return front_count_; }
    WindowDelegate* delegate() const { return delegate_; }
    // Events the window handled itself (its base class), and whether the
    // web view is the first responder.
    int baseEvents() const { return base_events_; }
    bool webViewIsFirstResponder() const { return web_first_responder_; }

    // The web view this window holds, if any.
    void adoptWebView(std::unique_ptr<HeadlessWebView> web_view);
    HeadlessWebView* webView() const { return web_view_.get(); }

    // PanelWindowSystem.
    bool isFrontWindow() const override;
    void sendToBase(const PanelEvent& event) override;
    void resignFirstResponder() override { web_first_responder_ = false; }
    void sendToFrontWindow(const PanelEvent& event) override;
    void firstResponderKeyDown(const PanelEvent& event) override;
    bool firstResponderRespondsTo(const std::string& action) const override;
    void performOnFirstResponder(const std::string& action) override;

  private:
    void deliver(const PanelEvent& event);
    void becomeKey();
    void toFront();

    std::string title_;
    int x_ = 100, y_ = 100, width_ = 600, height_ = 400;
    bool key_ = false;
    bool visible_ = false;
    bool zoom_enabled_ = true;
    bool closable_ = true;
    bool web_first_responder_ = true;
    int front_count_ = 0;
    int base_events_ = 0;
    WindowDelegate* delegate_ = nullptr;
    ViewNode content_;
    std::unique_ptr<HeadlessWebView> web_view_;
    std::unique_ptr<PanelEvents> panel_events_;
};

}  // namespace glyphoria::mac
