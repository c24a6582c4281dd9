// Files and addresses. IDFile names a file by its UTF-8 path; URI is the
// file's address ("file://" followed by the percent-encoded absolute path).
// Conversion between the two is the file-to-URI utilities' job
// (IFileURIUtils in utils.h).
#pragma once

#include <string>

#include "host/sdk/strings.h"

class IDFile {
  public:
    IDFile() = default;
    explicit IDFile(const PMString& path) : fPath(path.GetUTF8String()) {}
    explicit IDFile(const char* path) : fPath(path ? path : "") {}
    const std::string& GetPath() const { return fPath; }
    bool IsEmpty() const { return fPath.empty(); }

  private:
    std::string fPath;
};

class URI {
  public:
    URI() = default;
    explicit URI(const std::string& text) : fText(text) {}
    const std::string& GetURI() const { return fText; }
    void SetURI(const std::string& text) { fText = text; }
    bool IsEmpty() const { return fText.empty(); }

  private:
    std::string fText;
};
