// Reading window descriptions into plans.
//
// Divisions: reading element texts, the shape of each type, the walk over
// the control blocks.
#include "dialogs/description_plan.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/limits.h"
#include "support/text_convert.h"
#include "support/xml_reader.h"

namespace glyphoria {

const char* const kPlanWindowClasses[] = {
    "Button",     "ComboBox",  "Edit",   "ListBox",         "msctls_progress32",
    "RadioGroup", "Separator", "Static", "SysTabControl32", "UserPane",
};
const std::size_t kPlanWindowClassCount = sizeof kPlanWindowClasses / sizeof kPlanWindowClasses[0];

namespace {

constexpr std::uint32_t kReadOnlyEdit = 0x0800;  // ES_READONLY
constexpr std::uint32_t kClientEdge = 0x0200;    // WS_EX_CLIENTEDGE

// --- Reading element texts ----------------------------------------------------

// The element's text, at most 255 bytes cut between characters; "" when the
// element is missing or empty.
std::string ElementText(const char* xml, const char* tag) {
    // A few bytes past the bound show whether the cut falls inside a character.
    char text[kValueBufferSize + 4];
    const int n = GetElementText(xml, tag, text, sizeof text);
    if (n <= 0) return std::string();
    return std::string(text, Utf8PrefixLength(text, static_cast<std::size_t>(n), kValueMaxLength));
}

// One decimal number as "%d" reads it (leading blanks, a sign, digits),
// held to the coordinate limit; false when there is none.
bool ReadNumber(const char*& pos, int* out) {
    char* end = nullptr;
    const long value = std::strtol(pos, &end, 10);
    if (end == pos) return false;
    pos = end;
    *out = static_cast<int>(std::clamp<long>(value, -kPlanCoordinateLimit, kPlanCoordinateLimit));
    return true;
}

// "x y w h"; the numbers after the first that cannot be read are 0.
PlanRect ReadRect(const char* xml) {
    PlanRect rect;
    const std::string text = ElementText(xml, "rect");
    const char* pos = text.c_str();
    int* fields[] = {&rect.x, &rect.y, &rect.w, &rect.h};
    for (int* field : fields) {
        if (!ReadNumber(pos, field)) break;
    }
    return rect;
}

// The description's type name as the toolkit's code: "rgrp" is 'radg',
// "etxt" and "eutx" are 'eutx'; anything but four bytes is no type.
FourCC ReadType(const char* xml) {
    const std::string text = ElementText(xml, "type");
    if (text.size() != 4) return 0;
    const FourCC type = FourCCFromText(text.c_str());
    if (type == MakeFourCC("rgrp")) return kTypeRadioGroup;
    if (type == MakeFourCC("etxt")) return kTypeEdit;
    return type;
}

// Each "<menu>" item, with exact letter case, in order; empty ones skipped.
std::vector<std::string> MenuItems(const char* xml) {
    static const char kOpen[] = "<menu>";
    static const char kClose[] = "</menu>";
    std::vector<std::string> items;
    const char* pos = xml;
    while ((pos = std::strstr(pos, kOpen)) != nullptr) {
        const char* start = pos + sizeof kOpen - 1;
        const char* end = std::strstr(start, kClose);
        if (!end) break;
        const std::size_t n =
            Utf8PrefixLength(start, static_cast<std::size_t>(end - start), kValueMaxLength);
        if (n > 0) items.emplace_back(start, n);
        pos = end + sizeof kClose - 1;
    }
    return items;
}

// "text1", "text2", ... until the first missing or empty one.
std::vector<std::string> TabLabels(const char* xml) {
    std::vector<std::string> labels;
    for (int i = 1;; ++i) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "text%d", i);
        std::string label = ElementText(xml, tag);
        if (label.empty()) return labels;
        labels.push_back(std::move(label));
    }
}

// --- The shape of each type -----------------------------------------------------

std::uint32_t Justification(const char* xml) {
    const std::string just = ElementText(xml, "just");
    if (just == "center") return 1;
    if (just == "right") return 2;
    return 0;
}

// Edit field: tab stop and automatic horizontal scroll, or a password field;
// multi-line fields also want Return. A single line is 19 high.
void EditShape(const char* xml, PlannedControl* c) {
    c->window_class = "Edit";
    c->style = GetElementInt(xml, "pass", 0) == 1 ? 0x500100A0 : 0x50010080;
    const bool multi_line = GetElementInt(xml, "multi", 0) == 1;
    if (multi_line) c->style |= 0x1004;
    c->style |= Justification(xml);
    if (!multi_line) c->geometry.h = 19;
}

// Fills in class, styles, geometry and flags; false for a type the toolkit
// does not know. empty_text: the type shows no text, so "text" is not read.
bool Shape(const char* xml, PlannedControl* c, bool* empty_text) {
    c->geometry = c->described;
    PlanRect& r = c->geometry;
    *empty_text = false;
    switch (c->type) {
        case kTypePush:
            c->window_class = "Button";
            c->style = c->id == 1 ? 0x50000001 : 0x50000000;
            r.y -= 3, r.h = 24;
            c->keyboard = true;
            break;
        case kTypeCheckBox:
            c->window_class = "Button";
            c->style = 0x50000003;
            r.y -= 3, r.h = 24;
            c->keyboard = true;
            break;
        case kTypeRadio:
            c->window_class = "Button";
            c->style = 0x50000009;
            r.y -= 3, r.h = 24;
            c->keyboard = true;
            break;
        case kTypeCombo:
            c->window_class = "ComboBox";
            c->style = 0x50210002;
            r.x += 3, r.w -= 5, r.h = 100;
            break;
        case kTypePopup:
            c->window_class = "ComboBox";
            c->style = 0x50210003;
            r.x += 3, r.y -= 2, r.w -= 5, r.h = 200;
            break;
        case kTypeEdit:
            EditShape(xml, c);
            r.y -= 3;
            c->ex_style = kClientEdge;
            c->keyboard = true;
            break;
        case kTypeGroup:
            c->window_class = "Button";
            c->style = 0x50000007;
            r.y -= 5;
            c->keyboard = true;
            c->container = true;
            break;
        case kTypeList:
            c->window_class = "ListBox";
            c->style = 0x50210151;
            c->ex_style = kClientEdge;
            c->keyboard = true;
            break;
        case kTypeProgress:
            c->window_class = "msctls_progress32";
            c->style = 0x50000001;
            break;
        case kTypeRadioGroup:
            c->window_class = "RadioGroup";
            c->style = 0x50000000;
            r.y -= 3;
            c->container = true;
            *empty_text = true;
            break;
        case kTypeSeparator:
            c->window_class = "Separator";
            c->style = 0x50000000;
            r.y -= 3;
            *empty_text = true;
            break;
        case kTypeStatic: {
            if (!ElementText(xml, "sap ").empty()) {
                // Selectable text: a read-only edit field without a frame,
                // at the given y, reached only by the mouse.
                EditShape(xml, c);
                c->style |= kReadOnlyEdit;
                break;
            }
            c->window_class = "Static";
            const std::uint32_t just = Justification(xml);
            c->style = just == 1 ? 0x50000001 : just == 2 ? 0x50000002 : 0x5000000C;
            r.h = r.h < 20 ? 16 : 30;
            break;
        }
        case kTypeTabs:
            c->window_class = "SysTabControl32";
            c->style = 0x50000100;
            c->ex_style = kClientEdge;
            c->keyboard = true;
            c->container = true;
            break;
        case kTypeUserPane:
            c->window_class = "UserPane";
            c->style = 0x50000000;
            c->container = true;
            *empty_text = true;
            break;
        default:
            return false;
    }
    return true;
}

// --- The walk over the control blocks -------------------------------------------

struct Walk {
    WindowPlan* plan;
    int block = 0;
    int container = kParentRootPane;
};

bool PlanControl(const char* xml, std::size_t, void* context) {
    Walk& walk = *static_cast<Walk*>(context);
    const int block = walk.block++;
    PlannedControl c;
    c.type = ReadType(xml);
    if (c.type == kTypeEndContainer) {
        if (walk.container == kParentRootPane) {
            walk.container = kParentWindow;
        } else if (walk.container >= 0) {
            walk.container = walk.plan->controls[static_cast<std::size_t>(walk.container)].parent;
        }
        return true;
    }
    c.block = block;
    c.id = static_cast<int>(GetElementInt(xml, "id", -1));
    c.described = ReadRect(xml);
    bool empty_text = false;
    if (!Shape(xml, &c, &empty_text)) return true;  // unknown type: nothing changes

    if (!empty_text) c.text_key = ElementText(xml, "text");
    c.command = FourCCFromText(ElementText(xml, "cmd").c_str());
    for (FourCC code : kStringPropertyCodes) {
        char tag[5];
        FourCCToText(code, tag);
        std::string value = ElementText(xml, tag);
        if (!value.empty()) c.properties.emplace_back(code, std::move(value));
    }
    if (c.type == kTypePopup) c.menu_items = MenuItems(xml);
    if (c.type == kTypeTabs) c.tab_labels = TabLabels(xml);
    c.parent = walk.container;
    walk.plan->controls.push_back(std::move(c));
    if (walk.plan->controls.back().container)
        walk.container = static_cast<int>(walk.plan->controls.size() - 1);
    return true;
}

}  // namespace

WindowPlan PlanWindow(const char* text) {
    WindowPlan plan;
    if (!text) return plan;
    plan.rect = ReadRect(text);
    plan.name = ElementText(text, "name");
    Walk walk{&plan};
    ForEachElement(text, "control", PlanControl, &walk);
    return plan;
}

}  // namespace glyphoria
