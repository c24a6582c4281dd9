// The installed fonts of a build without fontconfig: the font files of the
// system's fonts folder (%SystemRoot%\Fonts) and of the user's
// (%LOCALAPPDATA%\Microsoft\Windows\Fonts), read through their name tables.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "host/core/font_list.h"

namespace hostcore {

namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxFontFile = 64u << 20;

void ReadFolder(const fs::path& folder, std::vector<InstalledFont>* fonts) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string ext = it->path().extension().u8string();
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".ttf" && ext != ".otf" && ext != ".ttc") continue;
        std::error_code size_ec;
        std::uintmax_t size = fs::file_size(it->path(), size_ec);
        if (size_ec || size > kMaxFontFile) continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (InstalledFont& f : ReadFontFileNames(bytes, it->path().u8string()))
            fonts->push_back(std::move(f));
    }
}

}  // namespace

std::vector<InstalledFont> ReadInstalledFonts() {
    std::vector<InstalledFont> fonts;
    if (const char* root = std::getenv("SystemRoot"))
        ReadFolder(fs::u8path(root) / "Fonts", &fonts);
    if (const char* local = std::getenv("LOCALAPPDATA"))
        ReadFolder(fs::u8path(local) / "Microsoft" / "Windows" / "Fonts", &fonts);
    return fonts;
}

}  // namespace hostcore
