// Filling a TextData from a text frame, through the host adapter's
// FrameSource.
//
// A record is filled after it was made from the try argument. A frame that
// carries a label (it was tried before and shows an image) is filled from the
// label, keeping the new id; otherwise the story's first characters, point
// size, colour swatch and font, the frame's fill swatch and its size are
// recorded. The record keeps the story's beginning only (see utf8_text.h):
// the whole frame is kept beside it (frame_copy.h).
//
// The result is 1 when the frame can be tried, 0 when not: no usable id (see
// shop_id.h), no label and no reachable non-empty story, a label longer than
// 2047 bytes, or a record that would not read back whole from its label (a
// label of 2048 bytes or more, "&" or "?" inside a key or value).
#pragma once

#include "sampling/frame_facts.h"
#include "sampling/text_data.h"

namespace glyphoria {

// Longest frame label read back into a record.
constexpr std::size_t kFrameLabelMaxLength = TextData::kQuerySize - 1;

int FillFromFrame(TextData& record, const FrameSource& frame);

// The story part of the fill: "fontsize", "textUID", "ps0" (at most 255
// bytes) and "text" (the sample of utf8_text.h). 0, with nothing set, for a
// story that holds only its end marker.
int RecordStory(TextData& record, const StoryFacts& story);

}  // namespace glyphoria
