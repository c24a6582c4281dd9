#include "host/core/font_catalog.h"

#include <algorithm>

#include "host/core/font_list.h"

namespace hostcore {

namespace {

std::vector<InstalledFont> ReadFonts() {
    std::vector<InstalledFont> fonts = ReadInstalledFonts();
    // A stable order, so lookups do not depend on the directory scan.
    std::sort(fonts.begin(), fonts.end(), [](const InstalledFont& a, const InstalledFont& b) {
        if (a.family != b.family) return a.family < b.family;
        if (a.style != b.style) return a.style < b.style;
        if (a.file != b.file) return a.file < b.file;
        return a.index < b.index;
    });
    return fonts;
}

}  // namespace

const std::vector<InstalledFont>& InstalledFonts() {
    static const std::vector<InstalledFont> fonts = ReadFonts();
    return fonts;
}

const InstalledFont* FindFontByPostScriptName(const std::string& name) {
    if (name.empty()) return nullptr;
    for (const InstalledFont& f : InstalledFonts())
        if (f.postscript == name) return &f;
    return nullptr;
}

const InstalledFont* FindFontByFamilyStyle(const std::string& family, const std::string& style) {
    const InstalledFont* first = nullptr;
    const InstalledFont* regular = nullptr;
    for (const InstalledFont& f : InstalledFonts()) {
        if (f.family != family) continue;
        if (!style.empty() && f.style == style) return &f;
        if (!first) first = &f;
        if (!regular && (f.style == "Regular" || f.style == "Book" || f.style == "Roman" ||
                         f.style == "Normal"))
            regular = &f;
    }
    if (!style.empty()) return nullptr;
    return regular ? regular : first;
}

const InstalledFont* DefaultFont() {
    for (const char* family : {"DejaVu Sans", "Liberation Sans", "Cantarell"}) {
        if (const InstalledFont* f = FindFontByFamilyStyle(family, "")) return f;
    }
    return InstalledFonts().empty() ? nullptr : &InstalledFonts().front();
}

}  // namespace hostcore
