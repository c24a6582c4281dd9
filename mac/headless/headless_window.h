// A window without a screen: it keeps its title, frame, key and visible
// state and its view tree, and lets a test act as the user (close it, move
// it). The saved-frame string has the window system's form,
// "x y w h sx sy sw sh" with the screen's rectangle at the end.
#pragma once

#include <memory>
#include <string>

#include "mac/seam/window.h"

namespace glyphoria::mac {

class HeadlessWebView;

class HeadlessWindow : public Window {
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

    // The user.
    void userClose();
    void userMove(int x, int y, int width, int height);
    void resignKey() { key_ = false; }

    bool zoomButtonEnabled() const { return zoom_enabled_; }
    int frontCount() const { return front_count_; }
    WindowDelegate* delegate() const { return delegate_; }

    // The web view this window holds, if any.
    void adoptWebView(std::unique_ptr<HeadlessWebView> web_view);
    HeadlessWebView* webView() const { return web_view_.get(); }

  private:
    std::string title_;
    int x_ = 100, y_ = 100, width_ = 600, height_ = 400;
    bool key_ = false;
    bool visible_ = false;
    bool zoom_enabled_ = true;
    int front_count_ = 0;
    WindowDelegate* delegate_ = nullptr;
    ViewNode content_;
    std::unique_ptr<HeadlessWebView> web_view_;
};

}  // namespace glyphoria::mac
