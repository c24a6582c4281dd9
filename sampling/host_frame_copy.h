// The whole frame of frame_copy.h read from the host's object model and given
// back to it.
//
// A frame's place is its box before rotation and shear (ITransform), the two
// angles, its name (IPageItemName) and its labels other than a try's; its
// copy is the place with its fill swatch and its story as runs of equal
// character attributes, end marker included (font families by name, so the
// document's font list can give them back). The changing calls are host
// commands inside the caller's command sequence; each returns the first
// failing command's error and leaves undoing to that sequence.
#pragma once

#include "host/sdk/uidref.h"
#include "sampling/frame_copy.h"

namespace glyphoria {

// false when the item is not a frame with a transform, name and labels.
bool ReadFramePlace(const UIDRef& frame, FrameCopy* place);

// The place, the fill and the story; false also for a frame whose story
// cannot be reached.
bool ReadFrameCopy(const UIDRef& frame, FrameCopy* copy);

// Gives the frame the place's box (upright, its content moved along).
ErrorCode ApplyFrameBounds(const UIDRef& frame, const FrameCopy& place);

// Turns the frame by the place's rotation and shear, names it and sets the
// place's labels (labels the frame has besides them stay).
ErrorCode ApplyFrameLook(const UIDRef& frame, const FrameCopy& place);

// Fills the frame's empty story with the copy's runs, each in its own
// attributes, the end marker included; colours that are not swatches of the
// document are left as the story has them.
ErrorCode ApplyStoryRuns(const UIDRef& frame, const FrameCopy& copy);

}  // namespace glyphoria
