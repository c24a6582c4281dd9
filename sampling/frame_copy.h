// The whole text frame that a try keeps beside its record: what a restore
// needs to bring the frame back exactly, stored as a second label of the
// picture under kFrameCopyKey. The record (the "Glyphoria" label) holds only
// the beginning of the text in one style, for the renderer and for other
// installations; this copy holds every character and attribute.
//
// Encoding: one JSON object (UTF-8), version 1:
//   {"version":1, "name":"...", "labels":{"key":"value", ...}, "fill":UID,
//    "bounds":[left, top, right, bottom], "rotation":deg, "shear":deg,
//    "runs":[{"text":"...", "size":pt, "font":"family", "style":"face",
//             "color":UID}, ...]}
// bounds are the frame's box in pasteboard coordinates before rotation and
// shear; the runs are the story in order, each a stretch of equal character
// attributes, and the last one ends with the story's end marker (CR), whose
// attributes are the last paragraph's. Paragraphs end with CR. "font" is the
// font family's name (absent for none), "style" its face; swatches are the
// document's UIDs, as in the record. Numbers are written so that they read
// back exactly.
//
// Limits: the encoded copy has at most kFrameCopyMaxBytes bytes. A frame
// whose copy would be larger is not tried (the caller tells the user); a
// stored copy that is larger, not JSON, of another version or breaks any rule
// above is refused whole by the decoder, with the reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace glyphoria {

constexpr const char* kFrameCopyKey = "Glyphoria.frame";
constexpr std::size_t kFrameCopyMaxBytes = 1024 * 1024;
constexpr int kFrameCopyVersion = 1;
// Angles a frame may have, in degrees: a rotation within one turn either way,
// a shear short of a right angle.
constexpr double kMaxRotation = 360;
constexpr double kMaxShear = 89;

// A stretch of the story in one set of character attributes.
struct TextRun {
    std::string text;  // UTF-8, never empty
    double point_size = 12;
    std::string font_family;  // "" for no family
    std::string font_style;
    std::uint32_t colour = 0;  // swatch UID

    bool operator==(const TextRun& o) const {
        return text == o.text && point_size == o.point_size && font_family == o.font_family &&
               font_style == o.font_style && colour == o.colour;
    }
};

struct FrameCopy {
    std::string name;
    // Every label of the frame but the two of a try.
    std::map<std::string, std::string> labels;
    std::uint32_t fill = 0;  // swatch UID
    double left = 0, top = 0, right = 0, bottom = 0;
    double rotation = 0, shear = 0;
    std::vector<TextRun> runs;

    bool operator==(const FrameCopy& o) const {
        return name == o.name && labels == o.labels && fill == o.fill && left == o.left &&
               top == o.top && right == o.right && bottom == o.bottom && rotation == o.rotation &&
               shear == o.shear && runs == o.runs;
    }
};

// Whether a label key is one of the two a try writes.
bool IsTryLabelKey(const std::string& key);

// The JSON text of the copy. Bytes that are not UTF-8 become U+FFFD.
std::string EncodeFrameCopy(const FrameCopy& copy);

// The copy of an encoded text; false, with *why (when given) saying what is
// wrong, for anything the rules above refuse. *copy is changed only on
// success.
bool DecodeFrameCopy(const std::string& text, FrameCopy* copy, std::string* why = nullptr);

}  // namespace glyphoria
