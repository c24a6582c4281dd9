// UTF-8 helpers of the sampling code: writing code points, cutting at
// character boundaries, and the text a label keeps of a story.
//
// A story's sample is its first 256 characters (code points: a surrogate pair
// is one character), never the final end marker, as UTF-8 of at most 255
// bytes. When the characters need more than 255 bytes, the sample ends after
// the last whole character that fits, so the stored text is always valid
// UTF-8. Unpaired surrogates become U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace glyphoria {

// At most this many characters of a story are kept...
constexpr std::size_t kSampleMaxCharacters = 256;
// ...as at most this many bytes of UTF-8 (a 256-byte buffer and its NUL).
constexpr std::size_t kSampleMaxUtf8Bytes = 255;

void AppendUtf8(std::string& out, char32_t code_point);

// The length of bytes[0..length) without a trailing incomplete character.
std::size_t Utf8CompleteLength(const char* bytes, std::size_t length);

// The longest prefix of text that ends on a character boundary and has at
// most max_bytes bytes.
std::string Utf8Prefix(const std::string& text, std::size_t max_bytes);

// The sample of a story whose total length (with its end marker) is
// story_length, given its leading UTF-16 units. Units beyond what is passed
// are simply not there; story_length <= 1 gives an empty sample. whole, when
// given, tells whether the sample holds every character before the end
// marker (an empty story is whole).
std::string StorySampleUtf8(const char16_t* units, std::size_t unit_count,
                            std::int32_t story_length, bool* whole = nullptr);

}  // namespace glyphoria
