// Plain-value stand-ins for the host adapter's frame and swatch sources.
#pragma once

#include <map>
#include <string>

#include "sampling/frame_facts.h"

namespace glyphoria::testing {

struct FakeFrame : FrameSource {
    FrameRef ref{&ref, 42};
    std::string label;
    StoryAccess access = StoryAccess::kRead;
    StoryFacts story;
    int fill = 0;
    FrameSize size;
    mutable int reads = 0;  // of the story and the bounds

    FrameRef Ref() const override { return ref; }
    std::string Label() const override { return label; }
    StoryAccess ReadStory(StoryFacts* facts) const override {
        ++reads;
        if (access == StoryAccess::kRead) *facts = story;
        return access;
    }
    int FillSwatch() const override { return fill; }
    FrameSize Bounds() const override { return ++reads, size; }
};

// A document's swatches by UID: None 10, Black 11, a CMYK orange 20 that the
// host converts to (1, 0.5, 0), an RGB swatch 21 of (0.2, 0.4, 0.6) and a
// swatch 22 without colour data.
struct FakeSwatches : SwatchSource {
    std::map<int, SwatchFacts> swatches;

    FakeSwatches() {
        swatches[10].is_none = true;
        swatches[11] = {false, true, true, 2, {0.1f, 0.1f, 0.1f}};
        swatches[20] = {false, false, true, 2, {1.0f, 0.5f, 0.0f}};
        swatches[21] = {false, false, true, kColourSpaceRgb, {0.2f, 0.4f, 0.6f}};
        swatches[22] = {};
    }
    bool Describe(int uid, SwatchFacts* facts) const override {
        auto it = swatches.find(uid);
        if (it == swatches.end()) return false;
        *facts = it->second;
        return true;
    }
};

}  // namespace glyphoria::testing
