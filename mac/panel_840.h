// The panel class of both web windows: decides which events stay in the
// panel's web view and which go on to the host, so the host's own shortcuts
// work while a web window is in front.
//
// Mouse-downs (left, right) that arrive while the panel is not key go to the
// panel twice: the first makes it key, the second is the click. A key-down
// while another window of the application is in front goes to that window.
// In front, Command-Z first lets the host prepare its undo (when it has a
// front document) and hands the key to the host; then the key equivalents
// decide (RouteKeyDown): Shift alone types into the first responder, Command
// alone maps a/c/v/x/z to the edit actions when the first responder takes
// them, any other combination with Control or Command goes to the host, and
// everything else is typed. A key the host already received in the Command-Z
// step is not handed to it a second time, so one key press never undoes twice.
#pragma once

#include <cstdint>
#include <string>

#include "mac/seam/panel_event.h"

namespace glyphoria::mac {

// What the key equivalents make of a key-down in the front panel.
struct KeyRoute {
    enum Kind { kTypeIntoResponder, kPerformAction, kToHost };
    Kind kind = kToHost;
    std::string action;  // "selectAll:", "copy:", "paste:", "cut:", "undo:"
};

// The modifier flags with the low 16 (device) bits cleared decide; an action
// is only named here, whether the responder takes it is the caller's check.
KeyRoute RouteKeyDown(std::uint64_t modifier_flags, const std::string& key);

// What the panel needs: the window system's part of its window, and the
// host's part.
class PanelEventTarget : public PanelWindowSystem {
  public:
    virtual void sendToHostApplication(const PanelEvent& event) = 0;
    // The host's undo preparation for its front document: true when the
    // host had a document and the object it works through, and was called.
    virtual bool hostPrepareUndo() = 0;
};

class Panel_840 {
  public:
    explicit Panel_840(PanelEventTarget& target) : target_(target) {}
    void sendEvent(const PanelEvent& event);

  private:
    void keyDownInFront(const PanelEvent& event);

    PanelEventTarget& target_;
};

}  // namespace glyphoria::mac
