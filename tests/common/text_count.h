// How often a part occurs in a text (overlapping occurrences count), for
// tests that read transcripts and logs.
#pragma once

#include <string>

namespace glyphoria::testing {

inline int CountOccurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

}  // namespace glyphoria::testing
