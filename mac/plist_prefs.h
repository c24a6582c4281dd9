// The Mac preferences store: a flat dictionary of strings kept as a property
// list, "Glyphoria.plist" in the folder "Glyphoria" of Application Support.
//
// Open creates the folders on the way, copies the bundle's "Prefs.plist" into
// place when there is no file yet, and reads the file (XML or binary property
// list). A missing, unreadable or damaged file, or one whose top level is not
// a dictionary, gives an empty dictionary; the damage is logged. A file that
// exists but cannot be read is never written over (Save fails).
//
// Values are strings: integers as decimal text, window frames as saved-frame
// strings. Getters return their default when the key is missing or holds no
// string; the number getters read the string's leading number as the Mac's
// string conversions do (blanks, a sign, digits; no number gives 0). Setters
// change memory and, when asked, write the whole dictionary at once: an
// atomic XML property-list write, so a failed write leaves the old file.
#pragma once

#include <string>

namespace glyphoria::mac {

class PlistPrefs {
  public:
    PlistPrefs();
    ~PlistPrefs();
    PlistPrefs(const PlistPrefs&) = delete;
    PlistPrefs& operator=(const PlistPrefs&) = delete;

    // Replaces the dictionary by the file at path (after copying
    // bundled_default there when the file is missing and it exists).
    void Open(const std::string& path, const std::string& bundled_default);

    std::string GetString(const std::string& key, const std::string& def) const;
    long GetInt(const std::string& key, long def) const;
    double GetFloat(const std::string& key, double def) const;
    bool HasString(const std::string& key) const;

    // False only when write was asked for and the file could not be written.
    bool SetString(const std::string& key, const std::string& value, bool write);
    bool SetInt(const std::string& key, long value, bool write);
    bool Save();

    // The whole dictionary, one "key = value;" line each, for the log.
    std::string Describe() const;
    const std::string& path() const { return path_; }

  private:
    void* dict_;  // plist_t, a dictionary
    std::string path_;
    bool unreadable_ = false;
};

// The process-wide store.
PlistPrefs& MacPrefs();
// "<Application Support>/Glyphoria/<name>"; empty when the folder is unknown.
std::string MacPrefsPath(const char* name = "Glyphoria.plist");
// Opens the process-wide store at MacPrefsPath with the bundle's default.
void OpenMacPrefs(const char* name = "Glyphoria.plist");

}  // namespace glyphoria::mac
