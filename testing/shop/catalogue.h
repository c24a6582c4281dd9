// The shop's font catalogue: which fonts the shop sells under which id.
//
// The standard catalogue maps fixed ids to fonts that the system's fontconfig
// knows (OpenType ids 1001.., TrueType ids 2001..); a font file that is not
// installed simply leaves its id out. Fonts from an extra folder get ids from
// 9001 upward in file-name order. Entries never change after construction,
// so a catalogue can be read from any thread.
#pragma once

#include <string>
#include <vector>

namespace glyphoria::testing::shop {

struct CatalogueFont {
    std::string id;               // the shop's identifier ("shopid", try argument "id")
    std::string family;           // e.g. "TeX Gyre Termes"
    std::string style;            // e.g. "Regular"
    std::string postscript_name;  // e.g. "TeXGyreTermes-Regular"
    std::string path;             // absolute path of the font file
    bool opentype = false;        // CFF-flavoured OpenType (.otf) rather than TrueType

    std::string file_name() const;  // last component of path
};

class Catalogue {
  public:
    // The standard catalogue from the installed fonts, plus every .otf/.ttf
    // file of extra_fonts_dir when that is not empty.
    static Catalogue Standard(const std::string& extra_fonts_dir = {});

    const std::vector<CatalogueFont>& fonts() const { return fonts_; }
    // nullptr when the id is unknown.
    const CatalogueFont* Find(const std::string& id) const;
    std::vector<const CatalogueFont*> OpenTypeFonts() const;

    void Add(CatalogueFont font) { fonts_.push_back(std::move(font)); }

  private:
    std::vector<CatalogueFont> fonts_;
};

}  // namespace glyphoria::testing::shop
