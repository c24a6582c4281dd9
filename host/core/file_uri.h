// file:// addresses and PNG headers: the little the import needs of files.
#pragma once

#include <string>

#include "host/sdk/types.h"

namespace hostcore {

// "file://" + the absolute path, percent-encoding every byte but unreserved
// characters and "/".
std::string PathToFileURI(const std::string& path);
// false for anything but a file:// address or a malformed escape.
bool FileURIToPath(const std::string& uri, std::string* path);

// Whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes);
// The size from a PNG's header chunk; false when the bytes are not a PNG
// (signature, IHDR chunk, non-zero size up to 2^31-1).
bool ReadPngSize(const std::string& bytes, int32* width, int32* height);

}  // namespace hostcore
