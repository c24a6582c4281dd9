// The application-wide services the panels use: the modal loop, document-
// modal sheets, deferred release of windows and bringing the host process to
// the front.
//
// runModalForWindow returns once stopModal has been called (inside the loop).
// endSheet calls the handler given to beginSheet before it returns, as the
// window system does. releaseWhenIdle keeps a window alive until the current
// event has been handled, so a controller may let its window go from inside
// one of the window's own calls.
#pragma once

#include <boost/function.hpp>
#include <memory>

#include "mac/seam/window.h"

namespace glyphoria::mac {

// sheet, return code
using SheetEndHandler = boost::function<void(Window& sheet, int code)>;

class Application {
  public:
    virtual ~Application() = default;
    virtual void runModalForWindow(Window& window) = 0;
    virtual void stopModal() = 0;
    virtual void beginSheet(Window& sheet, Window& parent, const SheetEndHandler& on_end) = 0;
    virtual void endSheet(Window& sheet, int code) = 0;
    virtual void releaseWhenIdle(std::unique_ptr<Window> window) = 0;
    virtual void activateHostProcess() = 0;
};

}  // namespace glyphoria::mac
