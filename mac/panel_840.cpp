#include "mac/panel_840.h"

namespace glyphoria::mac {

namespace {

constexpr std::uint64_t kDeviceIndependentMask = ~static_cast<std::uint64_t>(0xFFFF);

const char* EditAction(const std::string& key) {
    if (key == "a") return "selectAll:";
    if (key == "c") return "copy:";
    if (key == "v") return "paste:";
    if (key == "x") return "cut:";
    if (key == "z") return "undo:";
    return nullptr;
}

}  // namespace

KeyRoute RouteKeyDown(std::uint64_t modifier_flags, const std::string& key) {
    const std::uint64_t m = modifier_flags & kDeviceIndependentMask;
    if (m == kShiftKeyMask) return {KeyRoute::kTypeIntoResponder, {}};
    if (m == kCommandKeyMask) {
        if (const char* action = EditAction(key)) return {KeyRoute::kPerformAction, action};
        return {KeyRoute::kToHost, {}};
    }
    if (modifier_flags & (kControlKeyMask | kCommandKeyMask)) return {KeyRoute::kToHost, {}};
    return {KeyRoute::kTypeIntoResponder, {}};
}

void Panel_840::sendEvent(const PanelEvent& event) {
    if (event.type != kEventKeyDown) {
        const bool activating_click =
            (event.type == kEventLeftMouseDown || event.type == kEventRightMouseDown) &&
            !target_.isKeyWindow();
        target_.sendToBase(event);
        if (activating_click) target_.sendToBase(event);
        return;
    }
    if (!target_.isFrontWindow()) {
        target_.resignFirstResponder();
        target_.sendToFrontWindow(event);
        return;
    }
    keyDownInFront(event);
}

void Panel_840::keyDownInFront(const PanelEvent& event) {
    bool host_has_key = false;
    if ((event.modifier_flags & kCommandKeyMask) && event.characters_ignoring_modifiers == "z" &&
        target_.hostPrepareUndo()) {
        target_.resignFirstResponder();
        target_.sendToHostApplication(event);
        host_has_key = true;
    }

    const KeyRoute route = RouteKeyDown(event.modifier_flags, event.characters_ignoring_modifiers);
    switch (route.kind) {
        case KeyRoute::kTypeIntoResponder:
            target_.firstResponderKeyDown(event);
            return;
        case KeyRoute::kPerformAction:
            if (target_.firstResponderRespondsTo(route.action)) {
                target_.performOnFirstResponder(route.action);
                return;
            }
            break;
        case KeyRoute::kToHost:
            break;
    }
    if (host_has_key) return;
    target_.resignFirstResponder();
    target_.sendToHostApplication(event);
}

}  // namespace glyphoria::mac
