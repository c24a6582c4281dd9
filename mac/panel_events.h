// The panel class at work in a window: every event of a web window's panel
// goes through Panel_840, with the window system's side from the window and
// the host's side from the bound services (mac_services.h): Command-Z's undo
// through the host's undo utility, and the host application's own key
// handling. Without those services nothing is prepared for Command-Z and a
// key meant for the host is only logged.
//
// The window owns this object and outlives it.
#pragma once

#include "mac/panel_840.h"
#include "mac/seam/panel_event.h"

namespace glyphoria::mac {

class PanelEvents : private PanelEventTarget {
  public:
    explicit PanelEvents(PanelWindowSystem& window) : window_(window), panel_(*this) {}
    PanelEvents(const PanelEvents&) = delete;
    PanelEvents& operator=(const PanelEvents&) = delete;

    void sendEvent(const PanelEvent& event) { panel_.sendEvent(event); }

  private:
    bool isKeyWindow() const override { return window_.isKeyWindow(); }
    bool isFrontWindow() const override { return window_.isFrontWindow(); }
    void sendToBase(const PanelEvent& event) override { window_.sendToBase(event); }
    void resignFirstResponder() override { window_.resignFirstResponder(); }
    void sendToFrontWindow(const PanelEvent& event) override { window_.sendToFrontWindow(event); }
    void firstResponderKeyDown(const PanelEvent& event) override {
        window_.firstResponderKeyDown(event);
    }
    bool firstResponderRespondsTo(const std::string& action) const override {
        return window_.firstResponderRespondsTo(action);
    }
    void performOnFirstResponder(const std::string& action) override {
        window_.performOnFirstResponder(action);
    }
    void sendToHostApplication(const PanelEvent& event) override;
    bool hostPrepareUndo() override;

    PanelWindowSystem& window_;
    Panel_840 panel_;
};

}  // namespace glyphoria::mac
