// The host's document-changing operations. Each runs as one command
// (sequences.h): it checks everything first, then changes the model; on any
// error the document is left as it was. Outside a sequence each is one undo
// step of its own.
#pragma once

#include <string>
#include <vector>

#include "host/core/model.h"
#include "host/sdk/geometry.h"

namespace hostcore {

class Document;

// Frames, images or text parts; spreads and layers are refused.
ErrorCode DeleteItems(Document* doc, const std::vector<UID>& items);
// Places a PNG file as a new graphic frame under parent (a layer or frame).
// With two corner points the frame spans them; otherwise it takes the
// picture's size at the parent's left-top. *newFrame receives the frame.
ErrorCode ImportAndPlace(Document* doc, UID parent, const PMPointList& corners,
                         const std::string& uri, UID* newFrame);
ErrorCode FitFrameToContent(Document* doc, const std::vector<UID>& frames);
// Refuses boxes beyond the page limits (geometry.h).
ErrorCode SetBounds(Document* doc, const std::vector<UID>& items, const PMRectCollection& boxes);
// Rotation and shear of a frame about its box's centre (ITransform's rules).
ErrorCode SetTransform(Document* doc, UID frame, PMReal rotation, PMReal shear);
ErrorCode SetName(Document* doc, UID frame, const std::string& name);
ErrorCode ApplyFill(Document* doc, const std::vector<UID>& frames, UID swatch);
ErrorCode MakeTextFrame(Document* doc, UID frame);
ErrorCode InsertText(Document* doc, UID story, TextIndex at, const std::u16string& text);
ErrorCode DeleteText(Document* doc, UID story, TextIndex at, int32 length);

// What an attribute list sets; unset fields stay as they are. The range is
// clipped to the story; the end marker takes attributes when it lies in it.
struct AttrChange {
    bool hasSize = false, hasFamily = false, hasStyle = false, hasColor = false;
    CharAttrs value;
};
ErrorCode ApplyCharAttrs(Document* doc, UID story, TextIndex at, int32 length,
                         const AttrChange& change);
ErrorCode SetLabel(Document* doc, UID item, const std::string& key, const std::string& value);
ErrorCode UpdateLinks(Document* doc, const std::vector<UID>& links);
// The family's UID in the document's font list, added when missing and
// create is set (then a command of its own).
ErrorCode FindOrAddFontFamily(Document* doc, const std::string& family, bool create, UID* out);

// The attributes a new empty story starts with.
CharAttrs DefaultCharAttrs(const DocModel& model);

}  // namespace hostcore
