// The Mac string dictionary: the bundle's string file for the language code
// ("MyStrings_F" for 1, "MyStrings_D" for 3, "MyStrings_E" otherwise, then
// "MyStrings"; files of type "xml") read as an XML document whose root's
// element children map their names to their texts. Keys are compared
// exactly, with letter case; a key without entry stands for itself.
//
// A load that finds no readable table leaves no table and shows the alert
// "\tGlyphoria: gStrings = NULL!"; every lookup then returns its key.
//
// Window localisation treats every text of a window (title, box titles,
// button titles, text-field values, pop-up items and their submenus, tab
// labels, column headers, and everything inside tabs, scroll views and other
// containers) as a key and puts in its entry where the table has one. Empty
// texts are left alone.
#pragma once

#include <cstddef>
#include <string>

#include "mac/seam/view_tree.h"
#include "mac/seam/window.h"

namespace glyphoria::mac {

// 0 when a table was loaded, -1 when none.
int LoadMacStrings(int language_code);
// A table from text (tests, tools); -1 and no table when it does not parse.
int LoadMacStringsFromText(const std::string& xml);
void UnloadMacStrings();
bool HasMacStrings();

std::string MacLocalized(const std::string& key);
// The same into a caller's buffer, cut at cap - 1 bytes on a character boundary.
void GetMacLocalized(const char* key, char* dest, std::size_t cap);

void LocalizeViewTree(ViewNode& view);
void LocalizeWindow(Window& window);

}  // namespace glyphoria::mac
