// What a designer sees of the frames on a page, as plain values: for a text
// frame its text and the size, font and colour of every character, its fill
// and its box; for a picture frame its picture and its "Glyphoria" label.
// The demo compares these before a try and after the restore.
#pragma once

#include <string>
#include <vector>

#include "host/core/model.h"

namespace glyphoria::demo {

struct CharacterLook {
    double point_size = 0;
    std::string font;    // family and style, "Liberation Serif Regular"
    std::string colour;  // swatch name

    bool operator==(const CharacterLook& o) const {
        return point_size == o.point_size && font == o.font && colour == o.colour;
    }
};

struct FrameFacts {
    UID uid = kInvalidUID;
    std::string name;
    bool is_text = false;
    bool is_picture = false;
    std::string text;                                 // UTF-8, without the story's end marker
    std::vector<CharacterLook> characters;            // one per UTF-16 code unit of text
    std::string fill;                                 // swatch name; "None" for no fill
    double left = 0, top = 0, width = 0, height = 0;  // box on the pasteboard
    double rotation = 0;
    int picture_width = 0, picture_height = 0;  // pixels of a placed picture
    std::string label;                          // the "Glyphoria" label
};

// Every frame of the document in layout order.
std::vector<FrameFacts> FramesOf(const hostcore::DocModel& model);

// The frame whose box starts where the given one starts (a try and a restore
// keep the top-left corner of the frame's box), or null.
const FrameFacts* FrameAt(const std::vector<FrameFacts>& frames, const FrameFacts& like);

// How a restored frame differs from the original text frame: one phrase per
// difference ("text", "point size 12 instead of 13", ...); empty when it is
// the same in text, point size, font and colour of every character, fill and
// box.
std::vector<std::string> DifferencesAfterRestore(const FrameFacts& original,
                                                 const FrameFacts& restored);

// The label value of a key ("id", "text", ...), empty when absent.
std::string LabelValue(const std::string& label, const std::string& key);

}  // namespace glyphoria::demo
