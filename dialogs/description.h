// Window descriptions: small XML texts, resources of type "XML", from which
// the toolkit builds a window's controls instead of from a dialog template.
//
// A description is looked up by name N: N itself, then N with the suffix of
// the string table's language code ("_D" 3, "_F" 1, "_N" 5), then N + "_E".
// It is read with the tag search of support/xml_reader.h, so the first
// occurrence of an element wins and the window's own elements ("name",
// "rect") must come before the first "control".
//
// Building (BuildDescribedWindow) sizes the window so that its client area
// is the description's w × h and moves it to x, y, titles it from "name"
// (a string-table key), creates a root "UserPane" child at 0, 0 and then
// one control per "control" block as a child of the current container.
// "grpb", "rgrp", "tabs" and "upan" become the current container; "####"
// returns to the container's parent (never past the window being built).
// Each control gets its "cmd" code as the 'ccmd' value, the toolkit's font,
// and each non-empty property element ("sap ", "empt", "amnt", "date",
// "data", "pref", "dval") as a string property of that code.
//
// Failures: an unknown type is skipped; a control the system cannot create
// gets no properties and building goes on; a container that cannot be
// created leaves no current container, so the later controls of that
// description are not created. The building state is module-wide: two
// windows are never built at the same time (user-interface thread only).
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
