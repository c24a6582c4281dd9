// The preferences store, INI form: the whole file in memory as one text
// buffer in "internal line form" (every LF turned into CR), edited in place.
//
// Sections and keys are matched exactly; a section runs to the next line that
// starts with "[". Only Save touches the disk after Load.
//
// Results: Load/SetString 0 or kPrefsNoMemory; GetString the value's length or
// kPrefsNotFound; SetString also refuses keys and values that would inject
// lines (kPrefsBadKey, kPrefsBadValue) and leaves the store unchanged; Save 0,
// or kPrefsWriteFailed with memory and the old file as they were.
#pragma once

#include <cstddef>
#include <string_view>

#include "support/limits.h"

namespace glyphoria {

constexpr int kPrefsNotFound = -1;
constexpr int kPrefsNoMemory = -108;
constexpr int kPrefsBadKey = -50;    // empty, CR, LF, "=" or a leading "["
constexpr int kPrefsBadValue = -51;  // CR or LF in the value
constexpr int kPrefsWriteFailed = -61;

// The section every setting of the system lives in.
constexpr const char* kGeneralSection = "General";

class PrefsStore {
  public:
    PrefsStore() = default;
    ~PrefsStore();
    PrefsStore(const PrefsStore&) = delete;
    PrefsStore& operator=(const PrefsStore&) = delete;

    // Replaces the content by the file at path (".ini" put in place of any
    // other extension). A missing file starts the store from the embedded
    // "Prefs" resource of type "ini" when the module has one, else empty; so
    // does a file that exists but cannot be read, which Save then refuses to
    // replace.
    int Load(const char* path);
    // Copies the value into dest (at most capacity - 1 bytes and a NUL) and
    // returns the value's full length; kPrefsNotFound leaves dest untouched.
    int GetString(const char* section, const char* key, char* dest, std::size_t capacity) const;
    // The decimal prefix of the value, or def when it is missing or empty.
    double GetFloat(const char* section, const char* key, double def) const;
    int SetString(const char* section, const char* key, const char* value);
    // Writes the store to its path atomically (temporary file, flush, rename;
    // through a link to the file it names, keeping the file's permissions).
    // A file marked read-only, or no regular file, is left alone
    // (kPrefsWriteFailed). A byte-order mark the file began with is kept.
    int Save();

    const char* path() const { return path_; }
    // The file's line end ("\r\n", "\r" or "\n"): its first one decides.
    const char* line_end() const { return line_end_; }
    bool has_bom() const { return bom_; }
    // Internal text, for tests and diagnostics (may be null before Load).
    const char* text() const { return text_; }
    std::size_t length() const { return length_; }

  private:
    // Makes room for an edit of up to extra bytes; false leaves the store as it was.
    bool Reserve(std::size_t extra);
    void Insert(std::size_t pos, std::string_view bytes);
    void Erase(std::size_t pos, std::size_t count);

    char path_[kPathBufferSize] = {};
    char* text_ = nullptr;
    std::size_t length_ = 0;
    std::size_t capacity_ = 0;
    const char* line_end_ = "\r\n";
    // The file exists but could not be read: Save must not replace it.
    bool unreadable_ = false;
    // The file began with a UTF-8 byte-order mark, kept out of text_.
    bool bom_ = false;
};

// The process-wide store, created on first use, loaded at start-up.
PrefsStore& Prefs();

// "<application-data folder>/<name>.ini" (name defaults to "Glyphoria").
bool DefaultPrefsPath(char* buf, std::size_t cap, const char* name = nullptr);

}  // namespace glyphoria
