// The web panels' event routing for any event, modifier flags and key, with
// any answers from the window system and the host. Input per event: type,
// eight bytes of flags, a byte of window and host answers, the key (ended by
// 0xFF).
//
// Checked: RouteKeyDown names only the five edit actions, and only for
// Command alone; every key-down lands somewhere, the host never receives one
// key press twice (one press never undoes twice in the host), and a key the
// panel keeps never also goes to the host unless the host took its undo
// first.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "mac/panel_840.h"

namespace {

using glyphoria::mac::PanelEvent;

class Target : public glyphoria::mac::PanelEventTarget {
  public:
    explicit Target(std::uint8_t answers) : answers_(answers) {}
    bool isKeyWindow() const override { return answers_ & 1; }
    bool isFrontWindow() const override { return answers_ & 2; }
    void sendToBase(const PanelEvent&) override { ++base; }
    void resignFirstResponder() override {}
    void sendToFrontWindow(const PanelEvent&) override { ++front; }
    void sendToHostApplication(const PanelEvent&) override { ++host; }
    void firstResponderKeyDown(const PanelEvent&) override { ++typed; }
    bool firstResponderRespondsTo(const std::string&) const override { return answers_ & 4; }
    void performOnFirstResponder(const std::string& action) override {
        ++performed;
        last_action = action;
    }
    bool hostPrepareUndo() override {
        prepared = (answers_ & 8) != 0;
        return prepared;
    }

    int base = 0, front = 0, host = 0, typed = 0, performed = 0;
    bool prepared = false;
    std::string last_action;

  private:
    std::uint8_t answers_;
};

bool IsEditAction(const std::string& action) {
    return action == "selectAll:" || action == "copy:" || action == "paste:" || action == "cut:" ||
           action == "undo:";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    glyphoria::fuzz::FuzzInput in(data, size);
    for (int events = 0; !in.empty() && events < 32; ++events) {
        PanelEvent event;
        const std::uint8_t type = in.Byte();
        event.type = type < 0x80 ? glyphoria::mac::kEventKeyDown : type % 16;
        event.modifier_flags = in.Bits64();
        Target target(in.Byte());
        event.characters_ignoring_modifiers = in.Until('\xFF');

        const glyphoria::mac::KeyRoute route =
            glyphoria::mac::RouteKeyDown(event.modifier_flags, event.characters_ignoring_modifiers);
        if (route.kind == glyphoria::mac::KeyRoute::kPerformAction) {
            if (!IsEditAction(route.action)) std::abort();
            if ((event.modifier_flags & ~std::uint64_t{0xFFFF}) != glyphoria::mac::kCommandKeyMask)
                std::abort();
        } else if (!route.action.empty()) {
            std::abort();
        }

        glyphoria::mac::Panel_840 panel(target);
        panel.sendEvent(event);
        if (event.type != glyphoria::mac::kEventKeyDown) {
            if (target.base < 1 || target.base > 2 || target.host || target.typed) std::abort();
            continue;
        }
        if (target.base) std::abort();
        if (target.host > 1) std::abort();
        const int kept = target.typed + target.performed;
        if (target.front + kept + target.host == 0) std::abort();  // the key was lost
        if (target.front && (kept || target.host)) std::abort();
        if (kept > 1) std::abort();
        if (kept && target.host && !target.prepared) std::abort();
        if (target.performed && !IsEditAction(target.last_action)) std::abort();
    }
    return 0;
}
