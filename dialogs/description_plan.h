// A window description read into a plan: what the toolkit will create, in
// which order, where and how, without creating anything. Portable (no
// window system), so every build checks what a description means and the
// Windows builder (dialogs/description.h) only turns the plan into windows.
//
// The text is read with the tag search of support/xml_reader.h: the first
// occurrence of an element wins, so the window's own elements ("name",
// "rect") must come before the first "control". Every "control" block is
// visited in the order of its opening tag:
//   - "####" closes the current container (back to its parent; the root
//     pane's parent is the window itself, and nothing goes past the window);
//   - a type the toolkit does not know is skipped ("rgrp" reads as 'radg',
//     "etxt" as 'eutx');
//   - anything else becomes a PlannedControl in the current container, and
//     "grpb", "rgrp", "tabs" and "upan" become the current container.
//
// Every text taken from the description (name, text key, property values,
// menu items, tab labels) is at most 255 bytes, cut between UTF-8
// characters. Numbers in "rect" that cannot be read are 0 and are held to
// +-kPlanCoordinateLimit, so the geometry never overflows. Nothing fails:
// a null text gives an empty plan.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/four_cc.h"

namespace glyphoria {

constexpr int kPlanCoordinateLimit = 100000;

struct PlanRect {
    int x = 0, y = 0, w = 0, h = 0;
};

// The parent of a planned control: the window being built, the root pane
// made for it, or (>= 0) the index of a planned container.
constexpr int kParentWindow = -2;
constexpr int kParentRootPane = -1;

struct PlannedControl {
    int block = 0;  // 0-based position of its "control" block in the text
    FourCC type = 0;
    int id = -1;
    PlanRect described;  // "rect" as written
    // "text": a string-table key; empty for the types that show no text.
    std::string text_key;
    FourCC command = 0;  // "cmd", the 'ccmd' value
    // The non-empty string properties, in the order of kStringPropertyCodes.
    std::vector<std::pair<FourCC, std::string>> properties;
    std::vector<std::string> menu_items;  // pop-up menus: "<menu>" items, exact case
    std::vector<std::string> tab_labels;  // tabs: "text1", "text2", ... to the first empty
    // What the system is asked for.
    const char* window_class = "";
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    PlanRect geometry;
    bool keyboard = false;   // subclassed for the toolkit's keyboard handling
    bool container = false;  // later controls go into it
    int parent = kParentRootPane;
};

struct WindowPlan {
    PlanRect rect;     // the window's "rect": position and client size
    std::string name;  // "name": the title's string-table key
    std::vector<PlannedControl> controls;
};

WindowPlan PlanWindow(const char* text);

// The window classes a plan may name (the system's and the toolkit's own).
extern const char* const kPlanWindowClasses[];
extern const std::size_t kPlanWindowClassCount;

}  // namespace glyphoria
