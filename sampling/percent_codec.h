// Percent-encoding of the text a label and a sampler request carry.
//
// Encoding keeps the bytes 0-9, A-Z, a-z, "-", "." and "_" and writes every
// other byte, the space included, as "%" and two uppercase hexadecimal digits.
// The renderer and the other build read exactly this form, so the safe set
// does not follow any RFC's (no "~", no "+" for spaces).
//
// Decoding turns "%" and two hexadecimal digits (either case) into one byte;
// a "%" without two such digits behind it is copied as it stands, and "+"
// stays "+". It never reads past the end of the text and never writes past
// the output buffer.
#pragma once

#include <cstddef>
#include <string>

namespace glyphoria {

bool IsPercentSafeByte(unsigned char byte);

std::string PercentEncode(const char* bytes, std::size_t length);

// Decodes text into out (cap bytes, cap > 0) and NUL-terminates it. When the
// result does not fit, it is cut at the last whole UTF-8 character that does.
// Returns the number of bytes written, without the NUL.
std::size_t PercentDecode(const char* text, char* out, std::size_t cap);

}  // namespace glyphoria
