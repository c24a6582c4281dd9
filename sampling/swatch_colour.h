// The colour strings of the sampler request, from the swatches of the
// record's document.
//
// A colour is written as "%23" (the escaped "#") and six lowercase
// hexadecimal digits: each RGB component, taken between 0 and 1 (values
// outside are clamped, NaN counts as 0), narrowed to single precision,
// multiplied by 255 and truncated, so (1, 0.5, 0) gives "%23ff7f00".
//
// Text: "%23000000" unless the swatch is a coloured swatch other than Black.
// Background: "transparent" for the None swatch, else "%23ffffff" unless the
// swatch is a coloured one. UID 0, an unknown UID and a swatch without colour
// data keep the default. Swatches defined in RGB send their own components.
#pragma once

#include <cstddef>

#include "sampling/frame_facts.h"

namespace glyphoria {

constexpr const char* kDefaultTextColour = "%23000000";
constexpr const char* kDefaultBackgroundColour = "%23ffffff";
constexpr const char* kTransparentBackground = "transparent";

// "%23rrggbb" into out (cap >= 10).
void FormatRgbColour(const float rgb[3], char* out, std::size_t cap);

void WriteTextColour(int swatch_uid, const SwatchSource& swatches, char* out, std::size_t cap);
void WriteBackgroundColour(int swatch_uid, const SwatchSource& swatches, char* out,
                           std::size_t cap);

}  // namespace glyphoria
