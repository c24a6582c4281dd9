// Where the web-window library lives: beside the plug-in module, under the
// module's name with the platform's shared-library extension.
//
// The module's extension is the text from the last "." that stands after the
// last separator; a file name without one gets the extension appended (a dot
// in a folder name is not an extension). The result must fit cap bytes with
// its NUL; otherwise false and out holds "".
#pragma once

#include <cstddef>

#include "platform/path_style.h"

namespace glyphoria {

bool WebWindowLibraryPath(const char* module_path, char* out, std::size_t cap,
                          char separator = platform::kPathSeparator,
                          const char* extension = platform::kSharedLibraryExtension);

}  // namespace glyphoria
