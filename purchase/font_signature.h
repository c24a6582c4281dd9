// Whether bytes begin as a font: the first thing an installer may trust about
// an archive entry whose name says ".otf" is the file's own header.
//
// Accepted are the sfnt versions of OpenType and TrueType fonts: "OTTO"
// (CFF outlines), 0x00010000 (TrueType outlines, the usual version of
// OpenType fonts with them) and "true" (older Apple TrueType fonts), each
// followed by a table directory with at least one table whose records lie
// inside the bytes. Collections ("ttcf"), Type 1 wrapped in sfnt ("typ1"),
// web fonts ("wOFF", "wOF2") and anything else are no font to install.
// Only the header is looked at: a font whose tables are damaged still passes.
#pragma once

#include <cstddef>

namespace glyphoria {

bool BeginsAsFont(const unsigned char* bytes, std::size_t size);

}  // namespace glyphoria
