// The font installer over any archive, into an explicit fonts folder inside
// a fresh sandbox. Input: the archive's bytes.
//
// Checked: nothing appears in the sandbox but the archive and files directly
// in the fonts folder; every file there is a font reported as installed,
// named "*.otf", with exactly the bytes the entry declared (never a
// half-written temporary); nothing reported as installed is missing.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "fuzz/fuzz_input.h"
#include "purchase/font_install.h"

namespace fs = std::filesystem;

namespace {

fs::path Sandbox() {
    return glyphoria::fuzz::ScratchFolder("glyphoria-fonts-fuzz-");
}

[[noreturn]] void Fail(const char* what, const fs::path& path) {
    std::fprintf(stderr, "%s: %s\n", what, path.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path root = Sandbox() / "run";
    fs::remove_all(root);
    const fs::path fonts = root / "fonts";
    fs::create_directories(fonts);
    const fs::path archive = root / "archive.zip";
    std::FILE* f = std::fopen(archive.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    std::map<std::string, std::uint64_t> installed;
    glyphoria::InstallFontsFromArchiveTo(
        archive.c_str(), fonts.c_str(), [&](const glyphoria::FontEntryResult& result) {
            if (result.status == glyphoria::FontEntryStatus::kInstalled) {
                if (installed.count(result.file_name)) Fail("installed twice", result.file_name);
                installed[result.file_name] = result.declared_size;
            }
        });

    std::size_t found = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path& path = entry.path();
        if (path == archive || path == fonts) continue;
        if (path.parent_path() != fonts) Fail("written outside the fonts folder", path);
        if (entry.is_symlink() || !entry.is_regular_file()) Fail("not a plain file", path);
        const std::string name = path.filename().string();
        const auto it = installed.find(name);
        if (it == installed.end()) Fail("left behind, not reported as installed", path);
        if (fs::file_size(path) != it->second) Fail("half-written font", path);
        ++found;
    }
    if (found != installed.size()) Fail("reported as installed but missing", fonts);
    return 0;
}
