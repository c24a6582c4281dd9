// A panel or window of the Mac forms: what the controllers ask of an NSPanel
// (title, saved-frame string, key and front state, ordering, the zoom button,
// the close delegate) and its content view tree.
//
// The saved-frame string is the window system's own text; the controllers
// only store and restore it. A string the window cannot read leaves the frame
// as it is.
#pragma once

#include <string>

#include "mac/seam/view_tree.h"

namespace glyphoria::mac {

class WindowDelegate {
  public:
    virtual ~WindowDelegate() = default;
    // The user closes the window (its close control); it is still whole.
    virtual void windowWillClose() = 0;
};

class Window {
  public:
    virtual ~Window() = default;

    virtual std::string title() const = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual std::string frameString() const = 0;
    virtual void setFrameFromString(const std::string& frame) = 0;

    virtual bool isKeyWindow() const = 0;
    virtual bool isVisible() const = 0;
    virtual void makeKeyAndOrderFront() = 0;
    // To the front without becoming key.
    virtual void orderFront() = 0;
    virtual void orderOut() = 0;

    virtual void setZoomButtonEnabled(bool enabled) = 0;
    virtual void setDelegate(WindowDelegate* delegate) = 0;

    virtual ViewNode& contentView() = 0;
};

}  // namespace glyphoria::mac
