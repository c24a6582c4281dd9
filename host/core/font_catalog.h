// The fonts installed on this machine, as fontconfig lists them: one entry per
// face with its PostScript name, first family name, style name and file.
// Read once, on first use.
#pragma once

#include <string>
#include <vector>

namespace hostcore {

struct InstalledFont {
    std::string postscript;
    std::string family;
    std::string style;
    std::string file;
    int index = 0;
};

const std::vector<InstalledFont>& InstalledFonts();
const InstalledFont* FindFontByPostScriptName(const std::string& name);
// An empty style asks for the family's regular face: "Regular", "Book",
// "Roman" or "Normal", else the family's first face.
const InstalledFont* FindFontByFamilyStyle(const std::string& family, const std::string& style);
// The face used where a run names no installed font.
const InstalledFont* DefaultFont();

}  // namespace hostcore
