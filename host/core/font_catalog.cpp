#include "host/core/font_catalog.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>

namespace hostcore {

namespace {

std::string GetString(FcPattern* p, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(p, object, 0, &value) != FcResultMatch || !value) return "";
    return reinterpret_cast<const char*>(value);
}

std::vector<InstalledFont> ReadFonts() {
    std::vector<InstalledFont> fonts;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return fonts;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects =
        FcObjectSetBuild(FC_POSTSCRIPT_NAME, FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, nullptr);
    FcFontSet* set = FcFontList(config, pattern, objects);
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern* p = set->fonts[i];
            InstalledFont f;
            f.postscript = GetString(p, FC_POSTSCRIPT_NAME);
            f.family = GetString(p, FC_FAMILY);
            f.style = GetString(p, FC_STYLE);
            f.file = GetString(p, FC_FILE);
            int index = 0;
            if (FcPatternGetInteger(p, FC_INDEX, 0, &index) == FcResultMatch) f.index = index;
            if (f.postscript.empty() || f.family.empty() || f.file.empty()) continue;
            fonts.push_back(f);
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    // A stable order, so lookups do not depend on the directory scan.
    std::sort(fonts.begin(), fonts.end(), [](const InstalledFont& a, const InstalledFont& b) {
        if (a.family != b.family) return a.family < b.family;
        if (a.style != b.style) return a.style < b.style;
        return a.file < b.file;
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
