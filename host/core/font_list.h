// Where the font catalogue's entries come from, one source per build:
// fontconfig's list (font_list_fontconfig.cpp), or the name tables of the
// font files in the system's and the user's fonts folders
// (font_list_files.cpp, for builds without fontconfig). Entries without a
// PostScript name, family or file are left out; the order does not matter.
#pragma once

#include <string>
#include <vector>

#include "host/core/font_catalog.h"

namespace hostcore {

std::vector<InstalledFont> ReadInstalledFonts();

// The faces an OpenType/TrueType file (or collection) describes in its name
// tables, file set to path. Empty for anything else.
std::vector<InstalledFont> ReadFontFileNames(const std::string& bytes, const std::string& path);

}  // namespace hostcore
