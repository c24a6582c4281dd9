// The name tables of OpenType/TrueType files and collections: PostScript
// name (name 6), family and style (the typographic names 16 and 17 where the
// font has them, else 1 and 2), preferring the Windows English records.
// Every offset is checked against the file's size: a broken file gives no
// entry, never a read outside the bytes.
#include <cstdint>

#include "host/core/font_list.h"

namespace hostcore {

namespace {

bool U16(const std::string& b, std::size_t at, std::uint32_t* out) {
    if (at + 2 > b.size() || at + 2 < at) return false;
    *out = (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 8) |
           static_cast<unsigned char>(b[at + 1]);
    return true;
}

bool U32(const std::string& b, std::size_t at, std::uint32_t* out) {
    std::uint32_t high = 0, low = 0;
    if (!U16(b, at, &high) || !U16(b, at + 2, &low)) return false;
    *out = (high << 16) | low;
    return true;
}

void AppendUtf8(std::string* out, std::uint32_t c) {
    if (c < 0x80) {
        *out += static_cast<char>(c);
    } else if (c < 0x800) {
        *out += static_cast<char>(0xC0 | (c >> 6));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += static_cast<char>(0xE0 | (c >> 12));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (c >> 18));
        *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16BE (Windows and Unicode records) or single bytes (Macintosh Roman,
// taken as ASCII: names are ASCII in practice; others become '?').
std::string Decode(const std::string& b, std::size_t at, std::size_t len, bool utf16) {
    std::string out;
    if (!utf16) {
        for (std::size_t i = 0; i < len; ++i) {
            unsigned char c = static_cast<unsigned char>(b[at + i]);
            out += c < 0x80 ? static_cast<char>(c) : '?';
        }
        return out;
    }
    for (std::size_t i = 0; i + 1 < len; i += 2) {
        std::uint32_t u = 0;
        U16(b, at + i, &u);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < len) {
            std::uint32_t low = 0;
            U16(b, at + i + 2, &low);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(&out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(&out, (u >= 0xD800 && u < 0xE000) ? 0xFFFD : u);
    }
    return out;
}

// How well a record's platform and language suit: higher is better, 0 none.
int Rank(std::uint32_t platform, std::uint32_t encoding, std::uint32_t language) {
    if (platform == 3 && (encoding == 1 || encoding == 10)) return language == 0x409 ? 4 : 3;
    if (platform == 0) return 2;
    if (platform == 1 && encoding == 0) return language == 0 ? 1 : 0;
    return 0;
}

bool ReadFace(const std::string& b, std::size_t face, InstalledFont* font) {
    std::uint32_t tables = 0;
    if (!U16(b, face + 4, &tables)) return false;
    std::size_t name_at = 0;
    for (std::uint32_t i = 0; i < tables; ++i) {
        std::size_t rec = face + 12 + 16 * static_cast<std::size_t>(i);
        std::uint32_t tag = 0, offset = 0;
        if (!U32(b, rec, &tag) || !U32(b, rec + 8, &offset)) return false;
        if (tag == 0x6E616D65) name_at = offset;  // 'name'
    }
    std::uint32_t count = 0, strings = 0;
    if (!name_at || !U16(b, name_at + 2, &count) || !U16(b, name_at + 4, &strings)) return false;
    std::string names[18];
    int ranks[18] = {};
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t rec = name_at + 6 + 12 * static_cast<std::size_t>(i);
        std::uint32_t platform = 0, encoding = 0, language = 0, id = 0, len = 0, off = 0;
        if (!U16(b, rec, &platform) || !U16(b, rec + 2, &encoding) || !U16(b, rec + 4, &language) ||
            !U16(b, rec + 6, &id) || !U16(b, rec + 8, &len) || !U16(b, rec + 10, &off))
            return false;
        if (id >= 18) continue;
        int rank = Rank(platform, encoding, language);
        std::size_t at = name_at + strings + off;
        if (rank <= ranks[id] || at + len > b.size()) continue;
        ranks[id] = rank;
        names[id] = Decode(b, at, len, platform != 1);
    }
    font->postscript = names[6];
    font->family = names[16].empty() ? names[1] : names[16];
    font->style = names[16].empty() ? names[2] : (names[17].empty() ? names[2] : names[17]);
    return !font->postscript.empty() && !font->family.empty();
}

}  // namespace

std::vector<InstalledFont> ReadFontFileNames(const std::string& bytes, const std::string& path) {
    std::vector<InstalledFont> fonts;
    std::uint32_t tag = 0;
    if (!U32(bytes, 0, &tag)) return fonts;
    std::vector<std::size_t> faces;
    if (tag == 0x74746366) {  // 'ttcf': a collection
        std::uint32_t count = 0;
        if (!U32(bytes, 8, &count) || count > 256) return fonts;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t offset = 0;
            if (!U32(bytes, 12 + 4 * static_cast<std::size_t>(i), &offset)) return fonts;
            faces.push_back(offset);
        }
    } else if (tag == 0x00010000 || tag == 0x4F54544F || tag == 0x74727565) {  // TrueType, 'OTTO'
        faces.push_back(0);
    }
    for (std::size_t i = 0; i < faces.size(); ++i) {
        InstalledFont font;
        if (!ReadFace(bytes, faces[i], &font)) continue;
        font.file = path;
        font.index = static_cast<int>(i);
        fonts.push_back(font);
    }
    return fonts;
}

}  // namespace hostcore
