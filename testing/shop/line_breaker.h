// Breaks a sample text into lines for an image of a given width.
//
// Line ends in the text (CR, LF, CR LF, U+2028, U+2029) always start a new
// line; a story's paragraphs arrive that way. Words are separated by spaces
// and kept whole where they fit; a word wider than the whole line is cut
// between characters, never inside a UTF-8 sequence. Every returned line
// but a lone over-wide character fits max_width by the measure given.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace glyphoria::testing::shop {

using TextMeasure = std::function<double(const std::string&)>;

std::vector<std::string> BreakLines(const std::string& text, double max_width,
                                    const TextMeasure& measure);

}  // namespace glyphoria::testing::shop
