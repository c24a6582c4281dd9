// A tag search over small XML texts, deliberately not a parser: no tree, no
// validation, no entity decoding, no attributes, comments or CDATA. Tags are
// matched without regard to ASCII letter case; only the first occurrence of a
// closing tag counts (no nesting). The input is never changed.
#pragma once

#include <cstddef>

namespace glyphoria {

// First position of pattern in text, case-insensitively; null when absent.
const char* FindText(const char* text, const char* pattern);

// Copies the element text of the first element `tag` into dest (at most
// cap - 1 bytes, then a NUL) and returns the bytes copied: a longer text is
// cut at cap - 1 bytes (bytes, not characters). Returns 0 without writing
// for a null text, an empty tag or one over 64 bytes, or a missing opening or
// closing tag; an empty element returns 0 and writes "". Callers pass 256.
int GetElementText(const char* text, const char* tag, char* dest, std::size_t cap = 256);

// Like GetElementText, but a new malloc'd copy of the whole text (the caller
// frees it), or null; an empty element gives an empty copy. The closing tag
// is formed from the tag up to its first blank.
char* DupElementText(const char* text, const char* tag);

// The element text as a number: def when GetElementText returns 0; "true" 1,
// "false" 0 (exact, lower case); else the decimal prefix (no digits: 0).
long GetElementInt(const char* text, const char* tag, long def);

// Calls visitor(element, length, context) for every element `tag` in the
// order of the opening tags (nested ones too); the element is a fresh copy
// from "<" to the closing ">", freed after the call. The visitor returns
// false to stop. The tag may carry literal attribute text after a blank.
using ElementVisitor = bool (*)(const char* element, std::size_t length, void* context);
void ForEachElement(const char* text, const char* tag, ElementVisitor visitor, void* context);

}  // namespace glyphoria
