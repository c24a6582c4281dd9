// UTF-16 character boundaries, shared by both forms of the code-page
// conversions (platform/codepage.h), which convert one character at a time.
#pragma once

#include <cstddef>

namespace glyphoria::platform {

// Units of the character at text[i] of n units: 2 for a surrogate pair,
// else 1.
inline std::size_t CharUnits(const char16_t* text, std::size_t i, std::size_t n) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
        return 2;
    }
    return 1;
}

// A unit of a surrogate pair; alone (CharUnits gave 1) it is no character.
inline bool IsSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

}  // namespace glyphoria::platform
