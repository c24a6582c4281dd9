// What the sampling core needs to know of the host's document, and nothing
// more: the host adapter answers these questions from its object model, the
// core decides what to record and how to write it. Tests answer them from
// plain values.
//
// FrameSource describes one page item. SwatchSource describes the swatches of
// the document the item lives in (looked up by UID, 0 naming no swatch).
// Swatch UIDs travel as int, as the label writes them ("%d"): the bits of the
// host's 32-bit UID, so a cast back gives the same UID.
#pragma once

#include <cstdint>
#include <string>

namespace glyphoria {

// The label key under which a frame keeps its recorded text data.
constexpr const char* kFrameLabelKey = "Glyphoria";

// A page item: the document's database (opaque to the core) and the item's
// UID. The default value is the empty reference (no database, UID 0).
struct FrameRef {
    void* database = nullptr;
    std::uint32_t uid = 0;

    bool empty() const { return database == nullptr && uid == 0; }
};

// A story's facts, read at its first character.
struct StoryFacts {
    // Total length in the host's text units, counting the final end marker:
    // 1 for an empty story.
    std::int32_t length = 0;
    // The story's leading text as UTF-16. The core takes at most 256
    // characters before the end marker, so min(length - 1, 512) units are
    // always enough; fewer than length - 1 mean that the text goes on.
    std::u16string text;
    // Each of the following is left at its zero value when the host cannot
    // read it.
    double point_size = 0;
    int colour_swatch = 0;        // UID of the first character's colour swatch
    std::string postscript_name;  // UTF-8; the family's name for an empty face
};

enum class StoryAccess {
    kNoStory,      // the frame has no valid story reference
    kUnreachable,  // a story reference, but its text model cannot be reached
    kRead,         // StoryFacts filled
};

struct FrameSize {
    double width = 0;
    double height = 0;
};

class FrameSource {
  public:
    virtual ~FrameSource() = default;
    virtual FrameRef Ref() const = 0;
    // The label under kFrameLabelKey, whole (the core applies the limits);
    // empty when there is none.
    virtual std::string Label() const = 0;
    virtual StoryAccess ReadStory(StoryFacts* facts) const = 0;
    // UID of the swatch that fills the frame; 0 when it cannot be read.
    virtual int FillSwatch() const = 0;
    // Size of the frame's box before rotation and shear: the renderer draws
    // upright text that size, and the picture carries the frame's turn.
    virtual FrameSize Bounds() const = 0;
};

// The host's colour-space code of RGB; also the target of its conversion.
constexpr int kColourSpaceRgb = 5;

struct SwatchFacts {
    bool is_none = false;   // the document's None swatch
    bool is_black = false;  // the document's Black swatch
    // The swatch has colour data; the fields below are meaningful only then.
    bool has_colour = false;
    int colour_space = 0;
    // Red, green and blue between 0 and 1: the host's conversion of the
    // swatch's colour into kColourSpaceRgb, or the swatch's own components
    // when it is defined in RGB already (see NeedsRgbConversion).
    float rgb[3] = {0, 0, 0};
};

class SwatchSource {
  public:
    virtual ~SwatchSource() = default;
    // False when the document has no swatch of that UID.
    virtual bool Describe(int uid, SwatchFacts* facts) const = 0;
};

// Whether the adapter must ask the host's colour utilities for RGB components
// (true) or can hand over the swatch's own components (false).
inline bool NeedsRgbConversion(int colour_space) {
    return colour_space != kColourSpaceRgb;
}

}  // namespace glyphoria
