// What a designer sees of the frames on a page, as plain values: for a text
// frame its text and the size, font and colour of every character, its fill,
// box and turn; for a picture frame its picture and the two labels of a try.
// Whether a restored frame is the original is hostapp::FrameDifferences'.
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
    double rotation = 0, shear = 0;
    int picture_width = 0, picture_height = 0;  // pixels of a placed picture
    std::string label;                          // the "Glyphoria" label
    std::string frame_copy;                     // the "Glyphoria.frame" label
};

// Every frame of the document in layout order.
std::vector<FrameFacts> FramesOf(const hostcore::DocModel& model);

// The frame whose box starts where the given one starts (a try and a restore
// keep the top-left corner of the frame's box), or null.
const FrameFacts* FrameAt(const std::vector<FrameFacts>& frames, const FrameFacts& like);

// The label value of a key ("id", "text", ...), empty when absent.
std::string LabelValue(const std::string& label, const std::string& key);

}  // namespace glyphoria::demo
