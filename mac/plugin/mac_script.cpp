#include "mac/plugin/mac_script.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "mac/vendor_addresses.h"

namespace glyphoria::mac {

namespace {

std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
}

void Record(const std::string& line) {
    Lines().push_back(line);
}

// A field of a record line: no tab or line end inside.
std::string Field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

std::int32_t Note(const std::string& why) {
    Record("note\t" + Field(why));
    return -1;
}

Window* PaneWindow(const std::string& pane) {
    if (pane == "sampler") return SamplerPanel();
    if (pane == "purchase") return PurchasePanel();
    if (pane == "sheet") return ProgressSheet();
    return nullptr;
}

WebView* PanePage(const std::string& pane) {
    if (pane == "sampler") return SamplerPage();
    if (pane == "purchase") return PurchasePage();
    return nullptr;
}

// "PANE REST" into its two parts.
void SplitPane(const std::string& argument, std::string* pane, std::string* rest) {
    const std::size_t space = argument.find(' ');
    *pane = argument.substr(0, space);
    *rest = space == std::string::npos ? std::string() : argument.substr(space + 1);
}

void RecordBar() {
    Window* sheet = ProgressSheet();
    const ViewNode* bar = sheet ? sheet->contentView().Find("progress") : nullptr;
    if (bar)
        Record("bar\t" + std::to_string(static_cast<long long>(bar->value)) + "\t" +
               std::to_string(static_cast<long long>(bar->max_value)));
}

std::int32_t FollowLink(MacHands& hands, const std::string& pane, const std::string& which) {
    WebView* page = PanePage(pane);
    if (!page) return Note("no " + pane + " page");
    if (!hands.clickLink(*page, which)) return Note("the " + pane + " page has no link " + which);
    if (pane == "purchase") RecordBar();
    return 1;
}

std::int32_t TryFont(MacHands& hands, const std::string& id) {
    WebView* page = SamplerPage();
    if (!page) return Note("no sampler page");
    const std::string head = "glyphoria://try?id=" + id;
    for (const PageLink& link : hands.links(*page))
        if (link.href == head || link.href.rfind(head + "&", 0) == 0)
            return FollowLink(hands, "sampler", link.href);
    return Note("the sampler page has no try link for " + id);
}

std::int32_t Act(MacHands& hands, const std::string& action, const std::string& argument) {
    std::string pane, rest;
    SplitPane(argument, &pane, &rest);
    if (action == "try") return TryFont(hands, argument);
    if (action == "revert" || action == "homepage" || action == "cart")
        return FollowLink(hands, "sampler", action);
    if (action == "link") return FollowLink(hands, pane, rest);
    if (action == "page") {
        WebView* page = PanePage(pane);
        if (!page) return Note("no " + pane + " page");
        const std::string url = hands.pageUrl(*page);
        Record("page\t" + pane + "\t" + url);
        return url.empty() ? 0 : 1;
    }
    if (action == "vendor") {
        SetVendorServer(argument);
        return 1;
    }
    if (action == "folder") {
        hands.answerFolderChooser(argument);
        return 1;
    }
    if (action == "wait") {
        hands.waitFor([] { return false; }, std::atoi(argument.c_str()));
        return 1;
    }
    if (action == "modal") {
        std::string inner_action, inner_argument;
        SplitPane(argument, &inner_action, &inner_argument);
        if (inner_action.empty()) return Note("modal needs an action");
        MacHands* h = &hands;
        hands.whenModal(
            [h, inner_action, inner_argument] { MacScriptAct(*h, inner_action, inner_argument); });
        return 1;
    }
    if (action == "snapshot") {
        Window* window = PaneWindow(pane);
        if (pane != "screen" && !window) return Note("no " + pane + " window");
        if (rest.empty()) return Note("snapshot needs a file");
        return hands.snapshot(pane == "screen" ? nullptr : window, rest) ? 1 : 0;
    }
    Window* window = PaneWindow(pane);
    if (action == "click" || action == "key" || action == "close") {
        if (!window) return Note("no " + pane + " window");
        if (action == "close") return hands.closeWindow(*window) ? 1 : 0;
        if (action == "click") {
            const bool taken = hands.clickControl(*window, rest);
            if (pane != "sampler") RecordBar();
            return taken ? 1 : 0;
        }
        PanelEvent event;
        if (!ParseKeyChord(rest, &event)) return Note("no key " + rest);
        return hands.pressKey(*window, event) ? 1 : 0;
    }
    return Note("no action " + action);
}

}  // namespace

bool ParseKeyChord(const std::string& chord, PanelEvent* event) {
    *event = PanelEvent();
    event->type = kEventKeyDown;
    std::istringstream in(chord);
    std::vector<std::string> parts;
    for (std::string part; std::getline(in, part, '+');)
        parts.push_back(part);
    if (parts.empty() || chord.back() == '+') return false;
    // The key is one character.
    std::size_t characters = 0;
    for (unsigned char c : parts.back())
        characters += (c & 0xC0) != 0x80;
    if (characters != 1) return false;
    event->characters_ignoring_modifiers = parts.back();
    parts.pop_back();
    for (const std::string& m : parts) {
        if (m == "ctrl" || m == "cmd")
            event->modifier_flags |= kCommandKeyMask;
        else if (m == "shift")
            event->modifier_flags |= kShiftKeyMask;
        else if (m == "alt")
            event->modifier_flags |= kAlternateKeyMask;
        else if (m == "caps")
            event->modifier_flags |= kCapsLockKeyMask;
        else if (m == "macctrl")
            event->modifier_flags |= kControlKeyMask;
        else
            return false;
    }
    return true;
}

std::int32_t MacScriptAct(MacHands& hands, const std::string& action, const std::string& argument) {
    const std::int32_t answer = Act(hands, action, argument);
    Record("act\t" + Field(action) + "\t" + Field(argument) + "\t" + std::to_string(answer));
    return answer;
}

std::string MacScriptRecord(MacHands& hands) {
    std::string out;
    for (const std::string& line : Lines())
        out += line + "\n";
    for (const ShownAlert& alert : hands.alertsShown())
        out += "alert\t" + Field(alert.message) + "\t" + Field(alert.informative) + "\n";
    for (const std::string& url : hands.openedUrls())
        out += "opened\t" + Field(url) + "\n";
    return out;
}

void ForgetMacScriptRecord() {
    Lines().clear();
}

}  // namespace glyphoria::mac
