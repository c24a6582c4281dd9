// The demo's output folder: everything a session makes lives below it, and
// the session's per-user folders point into it, so a demo never touches the
// user's own preferences, log, downloads or fonts.
//
//   OUTPUT/.glyphoria-demo         marks a folder this demo made
//   OUTPUT/summary.txt             the summary printed at the end
//   OUTPUT/pictures/N-<step>.png   the page after each step
//   OUTPUT/plugin-console.txt      what the plug-in wrote on standard output
//   OUTPUT/shop-requests.txt       every request the shop answered
//   OUTPUT/home/                   HOME of the session
//     config/Glyphoria.ini           preferences (XDG_CONFIG_HOME)
//     Documents/Glyphoria.txt        log (XDG_DOCUMENTS_DIR)
//     Downloads/                     bought archives (XDG_DOWNLOAD_DIR)
//     data/fonts/                    installed fonts (XDG_DATA_HOME)
//     cache/                         font caches (XDG_CACHE_HOME)
//   OUTPUT/tmp/                    temporary files (TMPDIR)
//
// Every run starts from an empty folder: a folder that carries the mark is
// emptied first, so two runs give the same result; a folder that is not empty
// and has no mark is someone else's and is refused, never emptied.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace glyphoria::demo {

struct OutputFolder {
    std::string root;  // absolute, without a trailing "/"
    std::string home, config, documents, downloads, data, fonts, cache, temp, pictures;
    std::string prefs_file, log_file, summary_file, console_file, shop_log_file;
};

// The layout below root (made absolute against the current folder).
OutputFolder LayOutOutputFolder(const std::string& root);

// Makes the folders of an empty output folder (emptying a marked one first).
// false with *error set when the folder is someone else's or cannot be made.
bool PrepareOutputFolder(const OutputFolder& folder, std::string* error);

// Points HOME, the XDG folders and TMPDIR at the output folder until the
// object goes away; the previous values (or their absence) come back then.
// Set before anything reads them: the platform layer reads them on every
// call, font lookups once per process.
class SessionEnvironment {
  public:
    explicit SessionEnvironment(const OutputFolder& folder);
    ~SessionEnvironment();
    SessionEnvironment(const SessionEnvironment&) = delete;
    SessionEnvironment& operator=(const SessionEnvironment&) = delete;

    // name=value pairs as set, for the summary.
    const std::vector<std::pair<std::string, std::string>>& variables() const { return set_; }

  private:
    struct Saved {
        std::string name, value;
        bool had;
    };
    std::vector<Saved> saved_;
    std::vector<std::pair<std::string, std::string>> set_;
};

}  // namespace glyphoria::demo
