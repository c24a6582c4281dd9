// The installed fonts as fontconfig lists them.
#include <fontconfig/fontconfig.h>

#include "host/core/font_list.h"

namespace hostcore {

namespace {

std::string GetString(FcPattern* p, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(p, object, 0, &value) != FcResultMatch || !value) return "";
    return reinterpret_cast<const char*>(value);
}

}  // namespace

std::vector<InstalledFont> ReadInstalledFonts() {
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
    return fonts;
}

}  // namespace hostcore
