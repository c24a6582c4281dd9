// Names of entries in a font archive: how the raw bytes become text and which
// part of them may name a file in the user's fonts folder.
//
// ZIP entry names carry no reliable encoding: a name that is valid UTF-8 is
// read as UTF-8, any other as code page 437, the DOS code page the format
// started with. Only the last path component is used, with both "/" and "\"
// as separators (archives made on Windows use either), so no name can reach
// outside the fonts folder.
#pragma once

#include <cstddef>
#include <string>

namespace glyphoria {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const char* bytes, std::size_t length);

// The raw name as UTF-8 text (embedded NUL bytes are kept, to be refused
// later rather than to cut the name short).
std::string DecodeEntryName(const char* bytes, std::size_t length);

// The part after the last "/" or "\" (the whole name when there is none).
std::string LastPathComponent(const std::string& name);

enum class FontNameCheck {
    kFont,         // usable as the font's file name
    kNotOpenType,  // does not end in exactly ".otf"
    kUnsafe,       // ends in ".otf" but is no safe file name
};

// A font's file name ends in ".otf", in lower case exactly: the shop's
// OpenType fonts are named so, and "OTF" is not installed. Unsafe are names
// that are only the extension (".otf", "..otf"), and names holding control
// characters (C0, DEL, C1) or ":" (a stream or drive separator on Windows,
// the classic Mac separator).
FontNameCheck CheckFontFileName(const std::string& file_name);

}  // namespace glyphoria
