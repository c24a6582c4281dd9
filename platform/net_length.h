// What both forms of the Internet seam take for a Content-Length value.
#pragma once

#include <cstdint>

namespace glyphoria::platform {

// Digits only (no sign, no blanks inside, not empty) and no overflow: the
// value in *out and true; anything else is no length (false, *out as it was).
bool ParseContentLength(const char* text, std::uint64_t* out);

}  // namespace glyphoria::platform
