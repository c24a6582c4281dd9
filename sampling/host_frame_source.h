// The host adapter: FrameSource and SwatchSource answered from the host's
// object model, and the fill of a record from the selection.
//
// A frame's story is reached through its text content (0x16cd) and the
// story reference (0xca12); its facts come from the text model (0x233) at
// the first character: point size, colour swatch and the font family's
// PostScript name for an empty face name. Swatches are described with the
// document's None and Black swatches (0x16108) and converted to RGB by the
// host's colour utilities (0x16107) unless they are defined in RGB.
#pragma once

#include "host/sdk/uidref.h"
#include "sampling/frame_facts.h"
#include "sampling/text_data.h"

namespace glyphoria {

class HostFrameSource : public FrameSource {
  public:
    explicit HostFrameSource(const UIDRef& frame) : frame_(frame) {}
    FrameRef Ref() const override;
    std::string Label() const override;
    StoryAccess ReadStory(StoryFacts* facts) const override;
    int FillSwatch() const override;
    FrameSize Bounds() const override;

  private:
    UIDRef frame_;
};

class HostSwatchSource : public SwatchSource {
  public:
    explicit HostSwatchSource(IDataBase* db) : db_(db) {}
    bool Describe(int uid, SwatchFacts* facts) const override;

  private:
    IDataBase* db_;
};

// The page item a record describes, as the host names it.
UIDRef FrameOf(const TextData& record);
FrameRef ToFrameRef(const UIDRef& ref);

// Records the frame at index of the selected frames and fills the record
// from it (FillFromFrame): 1 when the frame can be tried, else 0 (also for
// an index outside the list).
int FillFromSelection(TextData& record, const UIDList& frames, int32 index);

}  // namespace glyphoria
