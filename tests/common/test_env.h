// Test helpers shared by every suite: an isolated home for the whole test
// program, temporary folders that remove themselves, environment overrides
// that restore the previous value, and whole-file read/write.
//
// The test main (test_main.cpp) points HOME and the XDG folders at a fresh
// folder before any test runs, so no test can touch the user's own
// preferences, log, downloads or fonts.
#pragma once

#include <string>

namespace glyphoria::testing {

// A fresh, empty folder below the test program's home; removed with its
// contents when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

// Sets (or, with a null value, unsets) an environment variable for the
// lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::string old_;
    bool had_old_;
};

// The folder the test main made for this program (HOME points there).
const std::string& TestHome();

// Whole file as bytes; empty string when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Creates or truncates the file; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);

}  // namespace glyphoria::testing
