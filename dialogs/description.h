// Window descriptions: small XML texts, resources of type "XML", from which
// the toolkit builds a window's controls instead of from a dialog template.
//
// A description is looked up by name N: N itself, then N with the suffix of
// the string table's language code ("_D" 3, "_F" 1, "_N" 5), then N + "_E".
// What a description means (types, geometry, styles, containers, texts) is
// read into a plan by dialogs/description_plan.h, the same on every build.
//
// Building (BuildDescribedWindow) sizes the window so that its client area
// is the description's w × h and moves it to x, y, titles it from "name"
// (a string-table key), creates a root "UserPane" child at 0, 0 and then
// the planned controls in order, each in its planned container. Each
// control gets its "cmd" code as the 'ccmd' value, the toolkit's font and
// its string properties; pop-up menus get their items and the item named by
// "text" selected, tab controls their labels.
//
// Failures: a control the system cannot create gets no properties and
// building goes on; a container that cannot be created ends the building
// (its contents and everything after it are not created). User-interface
// thread only.
#pragma once

#include "platform/win32/windows_api.h"

namespace glyphoria {

// The description's UTF-8 text (a byte-order mark skipped), owned by the
// module and NUL-terminated; null when there is none under any name.
const char* FindWindowDescription(const char* name);

// Builds the window from the description N. False when no description was
// found: nothing was built (the caller then titles the window with N).
bool BuildDescribedWindow(HWND window, const char* name);

// Builds from a description text directly.
bool BuildWindowFromText(HWND window, const char* text);

}  // namespace glyphoria
