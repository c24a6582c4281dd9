// The page-item operations the try and the restore are made of, over the
// host's object model. Each takes the item's UIDRef; an invalid reference or
// a missing interface makes an operation do nothing and give its failure
// value (an empty text, an empty rectangle, UIDRef::gNull, kFailure). No
// operation shows a message. Changing operations are host commands, so they
// join whatever command sequence the caller has open.
#pragma once

#include <string>

#include "host/sdk/geometry.h"
#include "host/sdk/page_items.h"
#include "host/sdk/swatches.h"
#include "host/sdk/uidref.h"
#include "sampling/text_data.h"

namespace glyphoria {

// The label text under key, whole; "" when there is none.
std::string FrameLabel(const UIDRef& item, const char* key);

// The label under key copied into the record's query buffer; null when the
// item has none, or when it would not fit (a label is never cut: a cut label
// would restore a cut text).
const char* ReadFrameLabel(TextData& record, const UIDRef& item, const char* key);

// Sets the label under key; an empty value removes it. kFailure when the
// item has no labels.
ErrorCode WriteFrameLabel(const UIDRef& item, const char* key, const char* value);

// The item's bounding box in pasteboard coordinates; empty without geometry.
PMRect GetFrameBounds(const UIDRef& item);
ErrorCode SetFrameBounds(const UIDRef& item, const PMRect& bounds);

// The story of a text frame, or UIDRef::gNull.
UIDRef GetStory(const UIDRef& frame);

// Whether the document still has a swatch of that UID: a UID kept in a label
// names one only while it does, and anything else would colour with nothing.
bool IsDocumentSwatch(IDataBase* db, UID uid);

// The swatch that fills the item (a new reference), or nil.
ISwatch* GetFillSwatch(const UIDRef& item);
// Fills the item with the swatch; the fill command's result.
ErrorCode ApplyGraphicAttributes(const UIDRef& item, UID fill_swatch);

// The child at index 0 (the content of a frame), or the empty reference.
UIDRef GetFirstChild(const UIDRef& item);
UIDRef GetParent(const UIDRef& item);

// Deletes the item (a failure sounds the system beep); the command's result.
ErrorCode DeletePageItem(const UIDRef& item);
// Deletes the item's first child; kSuccess when there is none.
ErrorCode DeleteFrameContent(const UIDRef& item);

// Makes the item the layout selection.
void SelectPageItem(const UIDRef& item);

// Sizes the frame to its picture; a non-zero result is logged.
ErrorCode FitFrameToContent(const UIDRef& frame);

}  // namespace glyphoria
