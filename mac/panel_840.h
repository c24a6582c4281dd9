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

namespace glyphoria::mac {

constexpr int kEventLeftMouseDown = 1;
constexpr int kEventRightMouseDown = 3;
constexpr int kEventKeyDown = 10;

constexpr std::uint64_t kCapsLockKeyMask = 0x10000;
constexpr std::uint64_t kShiftKeyMask = 0x20000;
constexpr std::uint64_t kControlKeyMask = 0x40000;
constexpr std::uint64_t kAlternateKeyMask = 0x80000;
constexpr std::uint64_t kCommandKeyMask = 0x100000;

struct PanelEvent {
    int type = 0;
    std::uint64_t modifier_flags = 0;
    std::string characters_ignoring_modifiers;
};

// What the key equivalents make of a key-down in the front panel.
struct KeyRoute {
    enum Kind { kTypeIntoResponder, kPerformAction, kToHost };
    Kind kind = kToHost;
    std::string action;  // "selectAll:", "copy:", "paste:", "cut:", "undo:"
};

// The modifier flags with the low 16 (device) bits cleared decide; an action
// is only named here, whether the responder takes it is the caller's check.
KeyRoute RouteKeyDown(std::uint64_t modifier_flags, const std::string& key);

// What the panel needs from the window system and the host.
class PanelEventTarget {
  public:
    virtual ~PanelEventTarget() = default;
    virtual bool isKeyWindow() const = 0;
    virtual bool isFrontWindow() const = 0;
    virtual void sendToBase(const PanelEvent& event) = 0;
    virtual void resignFirstResponder() = 0;
    virtual void sendToFrontWindow(const PanelEvent& event) = 0;
    virtual void sendToHostApplication(const PanelEvent& event) = 0;
    virtual void firstResponderKeyDown(const PanelEvent& event) = 0;
    virtual bool firstResponderRespondsTo(const std::string& action) const = 0;
    // Performs the action on the first responder with the panel as argument.
    virtual void performOnFirstResponder(const std::string& action) = 0;
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
