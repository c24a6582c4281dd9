// The file a download writes before it has succeeded: "<name>.part-<12 hex
// digits>" beside the target path, renamed into place only when the whole
// content arrived, so a failed download leaves no file (and no partial file)
// at the path. Whatever an interrupted download of the same path left is
// removed when the next one opens its part file.
//
// Ownership: the part file belongs to the object; one that was opened but
// not finished is removed by the destructor.
#pragma once

#include <cstddef>
#include <string>

#include "platform/new_file.h"

namespace glyphoria::platform {

class PartFile {
  public:
    PartFile() = default;
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Creates the part file for path; false when it cannot be made.
    bool Open(const char* path);
    // Appends all bytes or returns false.
    bool Write(const void* bytes, std::size_t length);
    // Closes the part file; with keep, renames it over path (an older file
    // there is replaced), otherwise removes it. True when the content is now
    // at path.
    bool Finish(bool keep);

  private:
    NewFile file_;
    std::string target_;
    char temp_[1024] = {};
    bool open_ = false;
};

}  // namespace glyphoria::platform
