// Test helpers shared by every suite: an isolated home for the whole test
// program, temporary folders that remove themselves, environment overrides
// that restore the previous value, and whole-file read/write.
//
// The test main (test_main.cpp) gives every program a fresh folder of its own
// before any test runs. POSIX: HOME, the XDG folders and TMPDIR point into it,
// so no test can touch the user's own preferences, log, downloads or fonts.
// Windows (under Wine): TMP and TEMP point into it; the shell folders are the
// Wine prefix's own, which scripts/wine-run keeps apart from the real home.
#pragma once

#include <string>
#include <vector>

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
    // path(), the platform's separator and name, whose "/" become that
    // separator too ("a/b" is "a\\b" on Windows).
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

// Makes the user-interface language (1031 German, 1033 English, 1036
// French, ...) the one the module's resources are picked for, until the
// object goes away. POSIX: LC_ALL; Windows: the thread locale and the thread's
// interface language (the loader follows the latter on Windows and the former
// under Wine).
class ScopedLanguage {
  public:
    explicit ScopedLanguage(unsigned short language);
    ~ScopedLanguage();
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

  private:
#ifdef _WIN32
    unsigned long old_locale_ = 0;
    unsigned short old_ui_language_ = 0;
#else
    std::string old_all_;
    bool had_old_ = false;
#endif
};

// The language whose table a lookup in a language the module lacks finds:
// POSIX English; Windows the user's own interface language when the module
// has it (the loader tries that before English), else English.
unsigned short FallbackLanguage();

// The calling thread's last error (POSIX errno, Windows SetLastError), as a
// failing system call leaves it.
void SetLastSystemError(int code);

// The folder the test main made for this program.
const std::string& TestHome();
// Where the user's documents folder is expected: POSIX the test home's
// "Documents", Windows "Documents" in the user's profile (%USERPROFILE%).
std::string UserDocumentsFolder();
// The same for the roaming application data: POSIX the test home's ".config",
// Windows %APPDATA%.
std::string UserAppDataFolder();

// Runs a program with the arguments as they are (no shell in between), its
// standard output into the file out_path and its standard error discarded.
// Returns the exit status, or -1 when the program cannot be started.
int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& out_path);

// Whole file as bytes; empty string when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Creates or truncates the file; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);

// Keeps a shared file's bytes (Windows: the Wine prefix's preferences file,
// log, downloads) and puts them back, or removes the file when there was
// none, when the object goes away.
class KeptFile {
  public:
    explicit KeptFile(std::string path);
    ~KeptFile();
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    bool existed_;
    std::string bytes_;
};

}  // namespace glyphoria::testing
