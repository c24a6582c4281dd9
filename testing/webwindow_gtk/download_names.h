// Where the engine's own downloads go (the ones the plug-in did not take):
// like a browser, into the download folder under the server's name, never
// over an existing file and never outside the folder.
#pragma once

#include <string>

namespace glyphoria::testing::webwindow_gtk {

// A plain file name from the name the engine suggests: only its last path
// part, control characters and separators made "_", cut to at most
// kMaxNameBytes (between characters, the extension kept when short);
// "download" when nothing usable is left.
std::string SafeDownloadName(const std::string& suggested);

// folder/name, or folder/"stem (n).ext" with the first n from 1 that names
// no existing file.
std::string UniqueDownloadPath(const std::string& folder, const std::string& name);

constexpr size_t kMaxNameBytes = 200;

}  // namespace glyphoria::testing::webwindow_gtk
