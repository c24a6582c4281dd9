// Filling a TextData from a text frame, through the host adapter's
// FrameSource.
//
// A record is filled after it was made from the try argument. A frame that
// carries a label (it was tried before and shows an image) is filled from the
// label, keeping the new id; otherwise the story's first characters, point
// size, colour swatch and font, the frame's fill swatch and its size are
// recorded.
//
// The result is 1 when the frame can be tried, 0 when not: no usable id (see
// shop_id.h), no label and no reachable non-empty story, a story whose text
// the label cannot keep whole (more than 256 characters or 255 bytes of
// UTF-8: a restore would bring back only its beginning), a label longer than
// 2047 bytes, or a record that would not read back whole from its label (a
// label of 2048 bytes or more, "&" or "?" inside a key or value). A frame
// that is not tried keeps its text; nothing may replace it then.
#pragma once

#include "sampling/frame_facts.h"
#include "sampling/text_data.h"

namespace glyphoria {

// Longest frame label read back into a record.
constexpr std::size_t kFrameLabelMaxLength = TextData::kQuerySize - 1;

// *text_too_long (when given) tells whether the frame was refused because
// its text is longer than the label keeps, so the caller can say so.
int FillFromFrame(TextData& record, const FrameSource& frame, bool* text_too_long = nullptr);

// The story part of the fill: "fontsize", "textUID", "ps0" (at most 255
// bytes) and "text" (see utf8_text.h for what is kept). 0, with nothing set,
// for a story that holds only its end marker or more text than the sample.
int RecordStory(TextData& record, const StoryFacts& story, bool* text_too_long = nullptr);

}  // namespace glyphoria
