// Window descriptions: any text read into a plan.
// Input: the description's text (up to its first NUL, as the resource is).
//
// Checked: every planned control comes from a "control" block, in the order
// of the blocks, none twice, and no more controls than blocks; "####" never
// takes the nesting past the window, and every parent is the window, the
// root pane or an earlier planned container; classes and styles come only
// from the toolkit's fixed table, with the geometry inside the coordinate
// limit's reach; every text (name, key, properties, menu items, tab labels)
// is at most 255 bytes, cut only between characters when the text is UTF-8;
// reading the same text again gives the same plan.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/description_plan.h"
#include "fuzz/fuzz_input.h"
#include "support/xml_reader.h"

namespace {

using glyphoria::PlannedControl;
using glyphoria::PlanRect;
using glyphoria::WindowPlan;
using glyphoria::fuzz::IsWholeUtf8;

[[noreturn]] void Fail(const char* what, int block = -1) {
    std::fprintf(stderr, "window_description: %s (block %d)\n", what, block);
    std::abort();
}

// Texts lie between ASCII tags, so in a description of whole characters
// every text the planner did not cut is whole, and a cut must be too.
bool g_whole_description = false;

void ExpectText(const std::string& text, int block) {
    if (text.size() > 255) Fail("text longer than 255 bytes", block);
    if (text.find('\0') != std::string::npos) Fail("NUL inside a text", block);
    if (g_whole_description && !IsWholeUtf8(text)) Fail("text cut inside a character", block);
}

struct Style {
    const char* window_class;
    std::uint32_t base;      // always set
    std::uint32_t optional;  // may be set
    std::uint32_t ex_style;  // 0 or this
};

// What each class may be asked for: the fixed bits and the bits a
// description may add (password, multi-line, justification, read-only).
const Style kStyles[] = {
    {"Button", 0x50000000, 0x0F, 0},
    {"ComboBox", 0x50210002, 0x01, 0},
    {"Edit", 0x50010080, 0x20 | 0x1004 | 0x03 | 0x0800, 0x200},
    {"ListBox", 0x50210151, 0, 0x200},
    {"msctls_progress32", 0x50000001, 0, 0},
    {"RadioGroup", 0x50000000, 0, 0},
    {"Separator", 0x50000000, 0, 0},
    {"Static", 0x50000000, 0x0F, 0},
    {"SysTabControl32", 0x50000100, 0, 0x200},
    {"UserPane", 0x50000000, 0, 0},
};

void ExpectShape(const PlannedControl& c) {
    const Style* style = nullptr;
    for (const Style& s : kStyles)
        if (std::strcmp(s.window_class, c.window_class) == 0) style = &s;
    if (!style) Fail("class outside the table", c.block);
    bool listed = false;
    for (std::size_t i = 0; i < glyphoria::kPlanWindowClassCount; ++i)
        listed |= std::strcmp(glyphoria::kPlanWindowClasses[i], c.window_class) == 0;
    if (!listed) Fail("class not in the published table", c.block);
    if ((c.style & style->base) != style->base || (c.style & ~(style->base | style->optional)))
        Fail("style outside the table", c.block);
    if (c.ex_style != 0 && c.ex_style != style->ex_style) Fail("extended style", c.block);
    // Geometry: the described numbers, held to the limit, moved by a few units.
    const int reach = glyphoria::kPlanCoordinateLimit + 300;
    for (int v : {c.geometry.x, c.geometry.y, c.geometry.w, c.geometry.h})
        if (v < -reach || v > reach) Fail("geometry out of reach", c.block);
}

bool SameRect(const PlanRect& a, const PlanRect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

bool SameControl(const PlannedControl& a, const PlannedControl& b) {
    return a.block == b.block && a.type == b.type && a.id == b.id &&
           SameRect(a.described, b.described) && a.text_key == b.text_key &&
           a.command == b.command && a.properties == b.properties && a.menu_items == b.menu_items &&
           a.tab_labels == b.tab_labels && std::strcmp(a.window_class, b.window_class) == 0 &&
           a.style == b.style && a.ex_style == b.ex_style && SameRect(a.geometry, b.geometry) &&
           a.keyboard == b.keyboard && a.container == b.container && a.parent == b.parent;
}

bool CountBlock(const char*, std::size_t, void* context) {
    ++*static_cast<int*>(context);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* description = text.c_str();  // up to the first NUL
    g_whole_description = IsWholeUtf8(description);
    const WindowPlan plan = glyphoria::PlanWindow(description);

    int blocks = 0;
    glyphoria::ForEachElement(description, "control", CountBlock, &blocks);
    if (static_cast<int>(plan.controls.size()) > blocks) Fail("more controls than blocks");

    ExpectText(plan.name, -1);
    int last_block = -1;
    for (std::size_t i = 0; i < plan.controls.size(); ++i) {
        const PlannedControl& c = plan.controls[i];
        if (c.block <= last_block || c.block >= blocks) Fail("block order", c.block);
        last_block = c.block;
        if (c.parent < glyphoria::kParentWindow || c.parent >= static_cast<int>(i))
            Fail("parent past the window or not yet planned", c.block);
        if (c.parent >= 0 && !plan.controls[static_cast<std::size_t>(c.parent)].container)
            Fail("parent is not a container", c.block);
        if (c.type == glyphoria::kTypeEndContainer || c.type == 0) Fail("planned a non-control");
        ExpectShape(c);
        ExpectText(c.text_key, c.block);
        for (const auto& property : c.properties) {
            if (property.second.empty()) Fail("empty property attached", c.block);
            ExpectText(property.second, c.block);
        }
        for (const std::string& item : c.menu_items) {
            if (item.empty()) Fail("empty menu item", c.block);
            ExpectText(item, c.block);
        }
        for (const std::string& label : c.tab_labels) {
            if (label.empty()) Fail("empty tab label", c.block);
            ExpectText(label, c.block);
        }
        if (!c.menu_items.empty() && c.type != glyphoria::kTypePopup) Fail("menu", c.block);
        if (!c.tab_labels.empty() && c.type != glyphoria::kTypeTabs) Fail("tabs", c.block);
    }

    const WindowPlan again = glyphoria::PlanWindow(description);
    if (!SameRect(plan.rect, again.rect) || plan.name != again.name ||
        plan.controls.size() != again.controls.size())
        Fail("second plan differs");
    for (std::size_t i = 0; i < plan.controls.size(); ++i)
        if (!SameControl(plan.controls[i], again.controls[i]))
            Fail("second plan differs", plan.controls[i].block);
    return 0;
}
