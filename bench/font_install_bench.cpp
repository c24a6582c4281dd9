// Installing an archive of 20 real OpenType fonts into an empty folder,
// against `unzip -o -j` extracting the same entries. Prints both medians and
// their ratio; exits 1 when the installation takes more than 1.2 times as long.
//
// usage: font_install_bench [ROUNDS]
#include <minizip/zip.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "purchase/font_install.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFontCount = 20;
constexpr double kAllowedRatio = 1.2;

std::vector<std::string> FindRealFonts() {
    std::vector<std::string> fonts;
    for (const char* root : {"/usr/share/fonts/opentype", "/usr/share/texmf/fonts/opentype"}) {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->path().extension() == ".otf") fonts.push_back(it->path().string());
        }
    }
    std::sort(fonts.begin(), fonts.end());
    if (fonts.size() > kFontCount) fonts.resize(kFontCount);
    return fonts;
}

bool MakeArchive(const std::string& path, const std::vector<std::string>& fonts) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) return false;
    bool ok = true;
    for (const std::string& font : fonts) {
        std::ifstream in(font, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        const std::string name = "Fonts/" + fs::path(font).filename().string();
        zip_fileinfo info{};
        info.dosDate = ((31ul << 9 | 3ul << 5 | 15ul) << 16) | (10ul << 11 | 20ul << 5 | 15ul);
        ok =
            ok &&
            zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                Z_DEFLATED, Z_DEFAULT_COMPRESSION) == ZIP_OK &&
            zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK &&
            zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

template <typename F>
double Milliseconds(F&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const std::vector<std::string> fonts = FindRealFonts();
    if (fonts.size() < kFontCount) {
        std::fprintf(stderr, "need %zu OpenType fonts, found %zu\n", kFontCount, fonts.size());
        return 2;
    }
    const std::string work = (fs::temp_directory_path() /
                              ("font-install-bench-" + std::to_string(std::random_device{}())))
                                 .string();
    if (!fs::create_directory(work)) return 2;
    const std::string archive = work + "/fonts.zip";
    if (!MakeArchive(archive, fonts)) {
        std::fprintf(stderr, "cannot write %s\n", archive.c_str());
        return 2;
    }

    std::vector<double> ours, theirs, start_up;
    for (int round = 0; round < rounds; ++round) {
        const std::string a = work + "/a" + std::to_string(round);
        const std::string b = work + "/b" + std::to_string(round);
        fs::create_directory(a);
        fs::create_directory(b);
        const std::string unzip = "unzip -o -j -q '" + archive + "' -d '" + b + "'";
        int unzip_rc = 0;
        bool read = false;
        // Alternate the order so neither side always finds a warm cache.
        auto run_ours = [&] {
            ours.push_back(Milliseconds([&] {
                read = glyphoria::InstallFontsFromArchiveTo(archive.c_str(), a.c_str(), {});
            }));
        };
        auto run_theirs = [&] {
            theirs.push_back(Milliseconds([&] { unzip_rc = std::system(unzip.c_str()); }));
        };
        if (round % 2) {
            run_ours();
            run_theirs();
        } else {
            run_theirs();
            run_ours();
        }
        // What unzip costs before it extracts anything: the shell, the
        // process and reading the directory.
        const std::string list = "unzip -qq -l '" + archive + "' >/dev/null";
        start_up.push_back(Milliseconds([&] { unzip_rc |= std::system(list.c_str()); }));
        if (!read || unzip_rc != 0) {
            std::fprintf(stderr, "round %d failed (installed: %d, unzip: %d)\n", round, read,
                         unzip_rc);
            return 2;
        }
        if (std::distance(fs::directory_iterator(a), fs::directory_iterator()) !=
            static_cast<long>(kFontCount)) {
            std::fprintf(stderr, "round %d installed the wrong number of fonts\n", round);
            return 2;
        }
    }
    std::error_code ec;
    fs::remove_all(work, ec);

    const double ours_ms = Median(ours);
    const double theirs_ms = Median(theirs);
    const double ratio = ours_ms / theirs_ms;
    std::printf("fonts: %zu, rounds: %d\n", kFontCount, rounds);
    std::printf("InstallFontsFromArchive: %.2f ms (median)\n", ours_ms);
    std::printf("unzip -o -j:             %.2f ms (median)\n", theirs_ms);
    std::printf("ratio: %.2f (allowed: %.2f)\n", ratio, kAllowedRatio);
    const double extract_ms = theirs_ms - Median(start_up);
    std::printf("unzip without its start-up: %.2f ms, ratio to that: %.2f (for information)\n",
                extract_ms, ours_ms / extract_ms);
    return ratio <= kAllowedRatio ? 0 : 1;
}
