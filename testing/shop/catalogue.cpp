#include "testing/shop/catalogue.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <filesystem>
#include <map>

// fontconfig loses some blocks while it parses the system's configuration
// files; the leak checker would blame every program that uses the shop.
// Weak, so that a program with its own suppressions keeps them.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace glyphoria::testing::shop {

namespace {

struct StandardEntry {
    const char* id;
    const char* file_name;
};

// Fixed ids, so that tests and demos can name a font without asking first.
constexpr StandardEntry kStandardFonts[] = {
    {"1001", "texgyretermes-regular.otf"},
    {"1002", "texgyreheros-regular.otf"},
    {"1003", "texgyrepagella-regular.otf"},
    {"1004", "texgyrecursor-regular.otf"},
    {"1005", "Cantarell-Regular.otf"},
    {"1006", "Cantarell-Bold.otf"},
    {"2001", "DejaVuSans.ttf"},
    {"2002", "DejaVuSerif.ttf"},
    {"2003", "LiberationSans-Regular.ttf"},
    {"2004", "LiberationSerif-Regular.ttf"},
    {"2005", "LiberationMono-Regular.ttf"},
};

std::string PatternString(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char*>(value);
}

std::string LowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return ext;
}

CatalogueFont FontFromPattern(const std::string& id, FcPattern* pattern) {
    CatalogueFont font;
    font.id = id;
    font.path = PatternString(pattern, FC_FILE);
    font.family = PatternString(pattern, FC_FAMILY);
    font.style = PatternString(pattern, FC_STYLE);
    font.postscript_name = PatternString(pattern, FC_POSTSCRIPT_NAME);
    font.opentype = LowerExtension(font.path) == ".otf";
    return font;
}

// File name -> pattern of face 0 for every font fontconfig knows.
std::map<std::string, FcPattern*> InstalledFonts(FcFontSet* set) {
    std::map<std::string, FcPattern*> by_name;
    for (int i = 0; set && i < set->nfont; ++i) {
        int index = 0;
        if (FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index) == FcResultMatch && index != 0)
            continue;
        std::string file = PatternString(set->fonts[i], FC_FILE);
        if (!file.empty())
            by_name.emplace(std::filesystem::path(file).filename().string(), set->fonts[i]);
    }
    return by_name;
}

void AddFolderFonts(const std::string& dir, Catalogue& catalogue) {
    std::error_code ec;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        std::string ext = LowerExtension(entry.path().string());
        if (entry.is_regular_file(ec) && (ext == ".otf" || ext == ".ttf"))
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    int next_id = 9001;
    for (const std::string& file : files) {
        int count = 0;
        FcPattern* pattern =
            FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.c_str()), 0, nullptr, &count);
        if (!pattern) continue;  // not a font after all
        catalogue.Add(FontFromPattern(std::to_string(next_id++), pattern));
        FcPatternDestroy(pattern);
    }
}

}  // namespace

std::string CatalogueFont::file_name() const {
    return std::filesystem::path(path).filename().string();
}

Catalogue Catalogue::Standard(const std::string& extra_fonts_dir) {
    Catalogue catalogue;
    FcPattern* any = FcPatternCreate();
    FcObjectSet* objects =
        FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_STYLE, FC_POSTSCRIPT_NAME, nullptr);
    FcFontSet* set = FcFontList(nullptr, any, objects);
    std::map<std::string, FcPattern*> installed = InstalledFonts(set);
    for (const StandardEntry& entry : kStandardFonts) {
        auto it = installed.find(entry.file_name);
        if (it != installed.end()) catalogue.Add(FontFromPattern(entry.id, it->second));
    }
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(any);
    if (!extra_fonts_dir.empty()) AddFolderFonts(extra_fonts_dir, catalogue);
    return catalogue;
}

const CatalogueFont* Catalogue::Find(const std::string& id) const {
    for (const CatalogueFont& font : fonts_)
        if (font.id == id) return &font;
    return nullptr;
}

std::vector<const CatalogueFont*> Catalogue::OpenTypeFonts() const {
    std::vector<const CatalogueFont*> result;
    for (const CatalogueFont& font : fonts_)
        if (font.opentype) result.push_back(&font);
    return result;
}

}  // namespace glyphoria::testing::shop
