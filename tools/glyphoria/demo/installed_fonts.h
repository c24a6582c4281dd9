// Checking an installation against the archive it came from: every OpenType
// font of the archive must be in the fonts folder with the archive's bytes
// count and with the archive's date (read as UTC) as its modification time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphoria::demo {

struct ArchiveFont {
    std::string file_name;  // last component of the entry's name
    std::uint64_t size = 0;
    std::int64_t date = 0;  // seconds since 1970, UTC
    bool date_valid = false;
};

// The ".otf" entries of a ZIP archive, in archive order. false with *error
// set when the archive cannot be read.
bool ReadArchiveFonts(const std::string& archive, std::vector<ArchiveFont>* fonts,
                      std::string* error);

// One phrase per font that is missing or differs ("Cantarell-Regular.otf:
// dated 2024-01-02 10:00:00 UTC instead of ..."); empty when all are there.
std::vector<std::string> InstalledFontProblems(const std::vector<ArchiveFont>& fonts,
                                               const std::string& fonts_folder);

// "2024-01-02 10:00:00 UTC"
std::string UtcText(std::int64_t seconds);

}  // namespace glyphoria::demo
