// Spread pictures with cairo. Divisions:
//   1. fonts (FreeType faces for cairo, cached per picture)
//   2. colours
//   3. text layout: runs of equal attributes, words, lines
//   4. frames and pictures
//   5. the spread
#include "host/app/render.h"
#include "host/app/render_surface.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstring>
#include <map>
#include <memory>

#include "host/core/file_uri.h"
#include "host/core/font_catalog.h"
#include "host/sdk/swatches.h"
#include "host/sdk/utils.h"

namespace hostapp {

using hostcore::CharAttrs;
using hostcore::DocModel;
using hostcore::Node;
using hostcore::NodeKind;

namespace {

// ---- 1. fonts --------------------------------------------------------------------

FT_Library FreeTypeLibrary() {
    // One library for the process: cairo may keep faces past a picture, and
    // each face's FreeType half is freed only when cairo lets go of it.
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
        return lib;
    }();
    return library;
}

const cairo_user_data_key_t kFaceKey{};

void DoneFace(void* face) {
    FT_Done_Face(static_cast<FT_Face>(face));
}

class FontCache {
  public:
    ~FontCache() {
        for (auto& f : fFaces)
            cairo_font_face_destroy(f.second);
    }
    // nil when no font can be opened at all.
    cairo_font_face_t* Face(const DocModel& m, const CharAttrs& a) {
        const hostcore::InstalledFont* font = nullptr;
        auto fam = m.fontFamilies.find(a.fontFamily);
        if (fam != m.fontFamilies.end())
            font = hostcore::FindFontByFamilyStyle(fam->second, a.fontStyle);
        if (!font && fam != m.fontFamilies.end())
            font = hostcore::FindFontByFamilyStyle(fam->second, "");
        if (!font) font = hostcore::DefaultFont();
        if (!font) return nullptr;
        std::string key = font->file + "#" + std::to_string(font->index);
        auto it = fFaces.find(key);
        if (it != fFaces.end()) return it->second;
        FT_Face face = nullptr;
        if (!FreeTypeLibrary() ||
            FT_New_Face(FreeTypeLibrary(), font->file.c_str(), font->index, &face) != 0)
            return nullptr;
        cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, 0);
        if (cairo_font_face_set_user_data(cf, &kFaceKey, face, DoneFace) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(cf);
            FT_Done_Face(face);
            return nullptr;
        }
        fFaces[key] = cf;
        return cf;
    }

  private:
    std::map<std::string, cairo_font_face_t*> fFaces;
};

// ---- 2. colours --------------------------------------------------------------------

// false for None (and anything that has no colour).
bool SwatchRGB(const DocModel& m, UID uid, double rgb[3]) {
    auto it = m.swatches.find(uid);
    if (it == m.swatches.end() || it->second.kind == hostcore::SwatchKind::kNone) return false;
    ColorArray out;
    if (Utils<IColorUtils>()->ConvertColor(nullptr, it->second.space, it->second.components,
                                           kPMCsCalRGB, &out) != kSuccess)
        return false;
    for (int i = 0; i < 3; ++i)
        rgb[i] = out[static_cast<size_t>(i)];
    return true;
}

// ---- 3. text layout -----------------------------------------------------------------

struct Piece {  // a stretch of one attribute set, within one word or space
    std::string utf8;
    CharAttrs attrs;
    double width = 0;
};

struct Word {
    std::vector<Piece> pieces;
    double width = 0;
    bool space = false;
    bool paragraphEnd = false;
};

void SetFont(cairo_t* cr, FontCache* fonts, const DocModel& m, const CharAttrs& a) {
    if (cairo_font_face_t* face = fonts->Face(m, a)) cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, a.pointSize);
}

std::vector<Word> SplitWords(cairo_t* cr, FontCache* fonts, const DocModel& m,
                             const hostcore::Story& s) {
    std::vector<Word> words;
    Word cur;
    auto flush = [&] {
        if (!cur.pieces.empty() || cur.paragraphEnd) words.push_back(cur);
        cur = Word();
    };
    // The end marker is not drawn.
    for (size_t i = 0; i + 1 < s.text.size(); ++i) {
        char16_t c = s.text[i];
        if (c == u'\r' || c == u'\n') {
            flush();
            cur.paragraphEnd = true;
            flush();
            continue;
        }
        bool space = c == u' ' || c == u'\t';
        if (cur.space != space && !cur.pieces.empty()) flush();
        cur.space = space;
        std::u16string unit(1, c);
        // Keep surrogate pairs together.
        if (c >= 0xD800 && c < 0xDC00 && i + 2 < s.text.size()) unit += s.text[++i];
        if (cur.pieces.empty() || cur.pieces.back().attrs != s.attrs[i])
            cur.pieces.push_back(Piece{"", s.attrs[i], 0});
        cur.pieces.back().utf8 += StringUtils::Utf16ToUtf8(unit);
    }
    flush();
    for (Word& w : words) {
        for (Piece& p : w.pieces) {
            SetFont(cr, fonts, m, p.attrs);
            cairo_text_extents_t ext;
            cairo_text_extents(cr, p.utf8.c_str(), &ext);
            p.width = ext.x_advance;
            w.width += p.width;
        }
    }
    return words;
}

struct Line {
    std::vector<const Word*> words;
    double ascent = 0, descent = 0;
};

void DrawText(cairo_t* cr, FontCache* fonts, const DocModel& m, const hostcore::Story& s,
              const PMRect& box) {
    std::vector<Word> words = SplitWords(cr, fonts, m, s);
    std::vector<Line> lines(1);
    double x = 0;
    for (const Word& w : words) {
        if (w.paragraphEnd) {
            lines.emplace_back();
            x = 0;
            continue;
        }
        if (!w.space && x > 0 && x + w.width > box.Width()) {
            lines.emplace_back();
            x = 0;
        }
        if (w.space && x == 0 && !lines.back().words.empty()) continue;  // no leading space
        lines.back().words.push_back(&w);
        x += w.width;
    }
    double y = box.Top();
    CharAttrs endAttrs = s.attrs.back();
    for (Line& line : lines) {
        for (const Word* w : line.words) {
            for (const Piece& p : w->pieces) {
                SetFont(cr, fonts, m, p.attrs);
                cairo_font_extents_t fe;
                cairo_font_extents(cr, &fe);
                line.ascent = std::max(line.ascent, fe.ascent);
                line.descent = std::max(line.descent, fe.descent);
            }
        }
        if (line.words.empty()) {  // an empty paragraph still takes its height
            SetFont(cr, fonts, m, endAttrs);
            cairo_font_extents_t fe;
            cairo_font_extents(cr, &fe);
            line.ascent = fe.ascent;
            line.descent = fe.descent;
        }
        double baseline = y + line.ascent;
        if (baseline > box.Bottom() + line.descent) break;  // overset text is not drawn
        double px = box.Left();
        for (const Word* w : line.words) {
            for (const Piece& p : w->pieces) {
                if (!w->space) {
                    double rgb[3] = {0, 0, 0};
                    SwatchRGB(m, p.attrs.color, rgb);
                    cairo_set_source_rgb(cr, rgb[0], rgb[1], rgb[2]);
                    SetFont(cr, fonts, m, p.attrs);
                    cairo_move_to(cr, px, baseline);
                    cairo_show_text(cr, p.utf8.c_str());
                }
                px += p.width;
            }
        }
        y = baseline + line.descent * 1.2;
    }
}

// ---- 4. frames and pictures ------------------------------------------------------------

cairo_status_t ReadBytes(void* closure, unsigned char* data, unsigned int length) {
    auto* src = static_cast<std::pair<const std::string*, size_t>*>(closure);
    if (src->second + length > src->first->size()) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, src->first->data() + src->second, length);
    src->second += length;
    return CAIRO_STATUS_SUCCESS;
}

void DrawImage(cairo_t* cr, const DocModel& m, const Node& frame, const Node& img) {
    auto link = m.links.find(img.link);
    if (link == m.links.end()) return;
    std::string bytes = link->second.bytes;
    std::string path;
    if (!link->second.embedded && (!hostcore::FileURIToPath(link->second.uri, &path) ||
                                   !hostcore::ReadWholeFile(path, &bytes)))
        return;
    std::pair<const std::string*, size_t> src(&bytes, 0);
    cairo_surface_t* png = cairo_image_surface_create_from_png_stream(ReadBytes, &src);
    if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
        int w = cairo_image_surface_get_width(png), h = cairo_image_surface_get_height(png);
        // Inner coordinates are centred on the frame; the picture sits where
        // its box is relative to the frame's untransformed box.
        double x = img.box.Left() - frame.box.Left() - frame.box.Width() / 2;
        double y = img.box.Top() - frame.box.Top() - frame.box.Height() / 2;
        cairo_save(cr);
        cairo_translate(cr, x, y);
        if (w > 0 && h > 0) cairo_scale(cr, img.box.Width() / w, img.box.Height() / h);
        cairo_set_source_surface(cr, png, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    cairo_surface_destroy(png);
}

void DrawFrame(cairo_t* cr, FontCache* fonts, const DocModel& m, const Node& n) {
    PMMatrix t = DocModel::InnerToPasteboard(n);
    PMRect inner = DocModel::InnerBox(n);
    cairo_save(cr);
    cairo_matrix_t cm;
    cairo_matrix_init(&cm, t.A(), t.B(), t.C(), t.D(), t.Tx(), t.Ty());
    cairo_transform(cr, &cm);
    cairo_rectangle(cr, inner.Left(), inner.Top(), inner.Width(), inner.Height());
    double rgb[3];
    if (SwatchRGB(m, n.fill, rgb)) {
        cairo_set_source_rgb(cr, rgb[0], rgb[1], rgb[2]);
        cairo_fill_preserve(cr);
    }
    cairo_clip_preserve(cr);
    if (n.children.empty()) {
        cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
        cairo_set_line_width(cr, 0.75);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    for (UID c : n.children) {
        const Node* child = m.FindNode(c);
        if (!child) continue;
        if (child->kind == NodeKind::kImage) DrawImage(cr, m, n, *child);
        if (child->kind == NodeKind::kTextContainer && m.stories.count(child->story))
            DrawText(cr, fonts, m, m.stories.at(child->story), inner);
        if (child->kind == NodeKind::kFrame) DrawFrame(cr, fonts, m, *child);
    }
    cairo_restore(cr);
}

}  // namespace

// ---- 5. the spread ---------------------------------------------------------------------

cairo_surface_t* RenderSpreadToSurface(const DocModel& m, const RenderOptions& options,
                                       std::string* error) {
    if (options.spread < 0 || options.spread >= static_cast<int>(m.spreads.size())) {
        *error = "the document has no spread " + std::to_string(options.spread + 1);
        return nullptr;
    }
    const Node& spread = m.nodes.at(m.spreads[static_cast<size_t>(options.spread)]);
    double w = std::ceil(spread.box.Width() * options.scale);
    double h = std::ceil(spread.box.Height() * options.scale);
    if (!(options.scale > 0) || w < 1 || h < 1 || w > kMaxPicturePixels || h > kMaxPicturePixels) {
        *error = "picture size out of range";
        return nullptr;
    }
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(w), static_cast<int>(h));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        *error =
            std::string("no picture: ") + cairo_status_to_string(cairo_surface_status(surface));
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_scale(cr, options.scale, options.scale);
    cairo_translate(cr, -spread.box.Left(), -spread.box.Top());
    {
        FontCache fonts;
        for (UID lu : spread.children) {
            const Node* layer = m.FindNode(lu);
            if (!layer) continue;
            for (UID iu : layer->children)
                if (const Node* item = m.FindNode(iu)) DrawFrame(cr, &fonts, m, *item);
        }
        cairo_destroy(cr);
    }
    cairo_surface_flush(surface);
    return surface;
}

bool RenderSpreadToPng(const DocModel& m, const RenderOptions& options, const std::string& path,
                       std::string* error) {
    cairo_surface_t* surface = RenderSpreadToSurface(m, options, error);
    if (!surface) return false;
    cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

}  // namespace hostapp
