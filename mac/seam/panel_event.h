// The events a panel's window gets from the window system, as the panel
// class of the web windows (Panel_840) sees them: the event type, the
// modifier flags (device-dependent bits in the low 16) and the key's
// characters ignoring modifiers.
//
// PanelWindowSystem is the window system's part of such a panel: what the
// panel class hands an event on to. A window of that class implements it;
// the panel class decides which of its operations an event goes to.
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

class PanelWindowSystem {
  public:
    virtual ~PanelWindowSystem() = default;
    virtual bool isKeyWindow() const = 0;
    // Whether this is the application's front window.
    virtual bool isFrontWindow() const = 0;
    // The window's own handling of the event (its base class).
    virtual void sendToBase(const PanelEvent& event) = 0;
    virtual void resignFirstResponder() = 0;
    // The event to the application's front window, handled as that window handles it.
    virtual void sendToFrontWindow(const PanelEvent& event) = 0;
    virtual void firstResponderKeyDown(const PanelEvent& event) = 0;
    // "selectAll:", "copy:", "paste:", "cut:", "undo:"
    virtual bool firstResponderRespondsTo(const std::string& action) const = 0;
    virtual void performOnFirstResponder(const std::string& action) = 0;
};

}  // namespace glyphoria::mac
