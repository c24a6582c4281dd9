// Replacing a text frame by a picture frame showing its preview image.
//
// PlacePreview checks everything that can fail before it deletes anything:
// the frame's hierarchy, the layer that will receive the picture, and that
// the preview file exists and is a picture the host can place. The delete
// and the placement run in a nested command sequence that is abandoned when
// the placement fails, so a failed replacement leaves the text frame exactly
// as it was: the frame's text is never lost.
//
// The new frame spans the old frame's axis-aligned box in pasteboard
// coordinates (a rotated or sheared frame gives its outer box), is fitted to
// the picture, keeps the picture in the document (its link is read in, so
// removing or overwriting the file does not change it) and becomes the
// selection.
#pragma once

#include "host/sdk/document.h"
#include "host/sdk/geometry.h"
#include "host/sdk/page_items.h"
#include "host/sdk/uidref.h"

namespace glyphoria {

// The new frame, or UIDRef::gNull when nothing was changed.
UIDRef PlacePreview(IDocument* document, const UIDRef& frame, const char* preview_path);

// Imports the picture at path as a new frame on the layer spanning bounds,
// fitted to the picture when fit is true. The invalid reference when the file
// is missing or the import fails.
UIDRef PlaceFile(ILayer* layer, const char* path, const PMRect& bounds, bool fit);

// Reads the placed picture's link into the document.
void UpdatePlacedLink(const UIDRef& frame);

// Whether the file is a PNG picture with a positive size: the only kind the
// host places.
bool IsPlaceablePicture(const char* path);

}  // namespace glyphoria
