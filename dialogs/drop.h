// File paths out of dropped data, for a window that the caller registers as
// a drop target (the toolkit registers none itself).
//
// GetDroppedPath takes the browser's "text/x-moz-url" form first: its UTF-16
// text is logged ("text/x-moz-url: ..."), and the text after its first line
// feed is the path ("pathFromURL: ..."); such data without a line feed gives
// no path, without looking further. Otherwise the file-drop list is read
// ("pathFromHDrop: ..."). Paths are UTF-8, cut at cap - 1 bytes on a
// character boundary.
#pragma once

#include <cstddef>

#include "platform/win32/windows_api.h"

struct IDataObject;

namespace glyphoria {

// The number of files in the data's file-drop list; 0 without one.
int CountDroppedFiles(IDataObject* data);

// The path of the dropped item at the 1-based index into dest (callers pass
// 256). 1 when a path was found, else 0 and dest is "". An index outside the
// file-drop list finds nothing.
int GetDroppedPath(IDataObject* data, int index, char* dest, std::size_t cap = 256);

}  // namespace glyphoria
