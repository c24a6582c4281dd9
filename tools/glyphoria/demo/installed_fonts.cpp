#include "tools/glyphoria/demo/installed_fonts.h"

#include <minizip/unzip.h>
#include <sys/stat.h>

#include <ctime>

#include "purchase/zip_entry_info.h"

namespace glyphoria::demo {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool ReadArchiveFonts(const std::string& archive, std::vector<ArchiveFont>* fonts,
                      std::string* error) {
    unzFile zip = unzOpen64(archive.c_str());
    if (!zip) {
        *error = archive + " is no ZIP archive";
        return false;
    }
    int status = unzGoToFirstFile(zip);
    while (status == UNZ_OK) {
        unz_file_info64 info;
        char name[1024];
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
            UNZ_OK) {
            status = UNZ_ERRNO;
            break;
        }
        std::string entry(name);
        if (EndsWith(entry, ".otf")) {
            ArchiveFont font;
            const std::size_t slash = entry.find_last_of('/');
            font.file_name = slash == std::string::npos ? entry : entry.substr(slash + 1);
            font.size = info.uncompressed_size;
            font.date_valid = DosDateTimeToUtc(info.dosDate, &font.date);
            fonts->push_back(font);
        }
        status = unzGoToNextFile(zip);
    }
    unzClose(zip);
    if (status != UNZ_END_OF_LIST_OF_FILE) {
        *error = archive + ": the archive's directory is damaged";
        return false;
    }
    return true;
}

std::vector<std::string> InstalledFontProblems(const std::vector<ArchiveFont>& fonts,
                                               const std::string& fonts_folder) {
    std::vector<std::string> problems;
    for (const ArchiveFont& font : fonts) {
        struct stat st;
        const std::string path = fonts_folder + "/" + font.file_name;
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            problems.push_back(font.file_name + ": not in the fonts folder");
            continue;
        }
        if (static_cast<std::uint64_t>(st.st_size) != font.size)
            problems.push_back(font.file_name + ": " + std::to_string(st.st_size) +
                               " bytes instead of " + std::to_string(font.size));
        if (!font.date_valid)
            problems.push_back(font.file_name + ": the archive gives no valid date");
        else if (static_cast<std::int64_t>(st.st_mtime) != font.date)
            problems.push_back(font.file_name + ": dated " + UtcText(st.st_mtime) + " instead of " +
                               UtcText(font.date));
    }
    return problems;
}

std::string UtcText(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (!gmtime_r(&t, &tm)) return std::to_string(seconds);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &tm);
    return text;
}

}  // namespace glyphoria::demo
