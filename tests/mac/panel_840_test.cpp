#include "mac/panel_840.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace glyphoria::mac {
namespace {

// Records every step the panel takes, in order, as short words.
class RecordingTarget : public PanelEventTarget {
  public:
    bool key = true;
    bool front = true;
    bool host_document = false;
    std::vector<std::string> responds_to = {"selectAll:", "copy:", "paste:", "cut:", "undo:"};
    std::vector<std::string> steps;

    bool isKeyWindow() const override { return key; }
    bool isFrontWindow() const override { return front; }
    void sendToBase(const PanelEvent&) override { steps.push_back("base"); }
    void resignFirstResponder() override { steps.push_back("resign"); }
    void sendToFrontWindow(const PanelEvent&) override { steps.push_back("frontWindow"); }
    void sendToHostApplication(const PanelEvent&) override { steps.push_back("host"); }
    void firstResponderKeyDown(const PanelEvent&) override { steps.push_back("keyDown"); }
    bool firstResponderRespondsTo(const std::string& action) const override {
        for (const auto& a : responds_to)
            if (a == action) return true;
        return false;
    }
    void performOnFirstResponder(const std::string& action) override { steps.push_back(action); }
    bool hostPrepareUndo() override {
        steps.push_back("hostUndo?");
        return host_document;
    }
};

std::string Steps(const std::vector<std::string>& steps) {
    std::string out;
    for (const auto& s : steps)
        out += (out.empty() ? "" : " ") + s;
    return out;
}

TEST(KeyRoute, ModifierRules) {
    struct Case {
        const char* name;
        std::uint64_t flags;
        const char* key;
        KeyRoute::Kind kind;
        const char* action;
    } cases[] = {
        {"plain key", 0, "q", KeyRoute::kTypeIntoResponder, ""},
        {"device bits are ignored", 0x0100, "q", KeyRoute::kTypeIntoResponder, ""},
        {"shift alone", kShiftKeyMask | 0x2, "Q", KeyRoute::kTypeIntoResponder, ""},
        {"option alone", kAlternateKeyMask, "q", KeyRoute::kTypeIntoResponder, ""},
        {"command a", kCommandKeyMask, "a", KeyRoute::kPerformAction, "selectAll:"},
        {"command c", kCommandKeyMask | 0x8, "c", KeyRoute::kPerformAction, "copy:"},
        {"command v", kCommandKeyMask, "v", KeyRoute::kPerformAction, "paste:"},
        {"command x", kCommandKeyMask, "x", KeyRoute::kPerformAction, "cut:"},
        {"command z", kCommandKeyMask, "z", KeyRoute::kPerformAction, "undo:"},
        {"command with an unmapped key", kCommandKeyMask, "s", KeyRoute::kToHost, ""},
        {"command with a capital", kCommandKeyMask, "C", KeyRoute::kToHost, ""},
        {"caps lock and command c", kCapsLockKeyMask | kCommandKeyMask, "c", KeyRoute::kToHost, ""},
        {"shift command z", kShiftKeyMask | kCommandKeyMask, "z", KeyRoute::kToHost, ""},
        {"control alone", kControlKeyMask, "a", KeyRoute::kToHost, ""},
        {"caps lock alone", kCapsLockKeyMask, "a", KeyRoute::kTypeIntoResponder, ""},
        {"shift and caps lock", kShiftKeyMask | kCapsLockKeyMask, "a", KeyRoute::kTypeIntoResponder,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyRoute route = RouteKeyDown(c.flags, c.key);
        EXPECT_EQ(c.kind, route.kind);
        EXPECT_EQ(c.action, route.action);
    }
}

TEST(Panel840, EventRouting) {
    struct Case {
        const char* name;
        PanelEvent event;
        bool key, front, host_document, copy_taken;
        const char* steps;
    } cases[] = {
        {"click on a panel that is not key goes in twice",
         {kEventLeftMouseDown, 0, ""},
         false,
         true,
         false,
         true,
         "base base"},
        {"right click likewise",
         {kEventRightMouseDown, 0, ""},
         false,
         true,
         false,
         true,
         "base base"},
        {"click on the key panel once",
         {kEventLeftMouseDown, 0, ""},
         true,
         true,
         false,
         true,
         "base"},
        {"other events once", {5, 0, ""}, false, true, false, true, "base"},
        {"key while another window is in front",
         {kEventKeyDown, 0, "q"},
         true,
         false,
         false,
         true,
         "resign frontWindow"},
        {"typing", {kEventKeyDown, 0, "q"}, true, true, false, true, "keyDown"},
        {"command c copies",
         {kEventKeyDown, kCommandKeyMask, "c"},
         true,
         true,
         false,
         true,
         "copy:"},
        {"command c nobody copies goes to the host",
         {kEventKeyDown, kCommandKeyMask, "c"},
         true,
         true,
         false,
         false,
         "resign host"},
        {"caps lock command c goes to the host",
         {kEventKeyDown, kCapsLockKeyMask | kCommandKeyMask, "c"},
         true,
         true,
         false,
         true,
         "resign host"},
        {"command s is the host's",
         {kEventKeyDown, kCommandKeyMask, "s"},
         true,
         true,
         false,
         true,
         "resign host"},
        {"command z without a document",
         {kEventKeyDown, kCommandKeyMask, "z"},
         true,
         true,
         false,
         true,
         "hostUndo? undo:"},
        {"command z with a document: host first, then undo in the page",
         {kEventKeyDown, kCommandKeyMask, "z"},
         true,
         true,
         true,
         true,
         "hostUndo? resign host undo:"},
        {"shift command z with a document reaches the host once",
         {kEventKeyDown, kShiftKeyMask | kCommandKeyMask, "z"},
         true,
         true,
         true,
         true,
         "hostUndo? resign host"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingTarget target;
        target.key = c.key;
        target.front = c.front;
        target.host_document = c.host_document;
        if (!c.copy_taken) target.responds_to = {};
        Panel_840 panel(target);
        panel.sendEvent(c.event);
        EXPECT_EQ(c.steps, Steps(target.steps));
    }
}

}  // namespace
}  // namespace glyphoria::mac
