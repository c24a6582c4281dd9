// Font archives that try to write outside the fonts folder, expand without
// end, lie about themselves, hold things that are no fonts or too many of
// them, and a disk that fills up while a font is written: whatever the
// archive holds, nothing lands outside the folder, only fonts are installed,
// and no font is left half-written.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "purchase/font_install.h"
#include "support/messages.h"
#include "tests/common/test_env.h"
#include "tests/purchase/font_zip_writer.h"

namespace {

namespace fs = std::filesystem;
using glyphoria::FontEntryResult;
using glyphoria::FontEntryStatus;
using glyphoria::FontSkipReason;
using glyphoria::testing::ZipTestEntry;

// Every file below root, relative to it.
std::set<std::string> Tree(const fs::path& root) {
    std::set<std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        out.insert(fs::relative(entry.path(), root).string());
    return out;
}

class HostileArchive : public ::testing::Test {
  protected:
    void SetUp() override {
        // Two levels below the sandbox, so "../" and "../../" land inside it.
        fs::create_directories(fonts_);
        glyphoria::SetMessageBoxHook([](const glyphoria::ShownMessage&) { return 1; });
    }
    void TearDown() override {
        glyphoria::SetMessageBoxHook(glyphoria::MessageBoxHook());
        glyphoria::platform::SetWriteBudgetForTesting(-1);
        glyphoria::SetFontArchiveLimitsForTesting({});
    }
    std::vector<FontEntryResult> Install(const std::string& archive) {
        std::vector<FontEntryResult> results;
        glyphoria::InstallFontsFromArchiveTo(
            archive.c_str(), fonts_.c_str(),
            [&](const FontEntryResult& r) { results.push_back(r); });
        return results;
    }

    glyphoria::testing::TempDir sandbox_;
    const std::string fonts_ = sandbox_.file("a/fonts");
    const std::string archive_ = sandbox_.file("archive.zip");
};

// Zip slip in every spelling: only the last component is ever used.
TEST_F(HostileArchive, EntryNamesNeverLeaveTheFontsFolder) {
    const std::string font = glyphoria::testing::FontBytes(std::string(100, 'f'));
    std::vector<ZipTestEntry> entries;
    for (const char* name :
         {"../Up.otf", "../../Up2.otf", "/tmp/Abs.otf", "..\\..\\Win.otf", "a/../../../Deep.otf",
          "C:Drive.otf", "Stream.otf:x.otf", "./Dot.otf", "..", "../", "Fonts/../.otf"})
        entries.push_back({name, font});
    ASSERT_TRUE(glyphoria::testing::WriteZip(archive_, entries));
    const std::vector<FontEntryResult> results = Install(archive_);
    ASSERT_EQ(entries.size(), results.size());
    EXPECT_EQ(Tree(sandbox_.path()),
              (std::set<std::string>{"a", "a/fonts", "archive.zip", "a/fonts/Up.otf",
                                     "a/fonts/Up2.otf", "a/fonts/Abs.otf", "a/fonts/Win.otf",
                                     "a/fonts/Deep.otf", "a/fonts/Dot.otf"}));
}

// Every seed archive of the installer's fuzz target (synthetic archives made
// with zip and Python: slips, a bomb, size lies, links, truncation).
TEST_F(HostileArchive, FuzzSeedsStayInTheFolder) {
    const fs::path seeds = fs::path(GLYPHORIA_SOURCE_DIR) / "fuzz/corpus/font_install";
    int archives = 0;
    for (const auto& seed : fs::directory_iterator(seeds)) {
        SCOPED_TRACE(seed.path().filename().string());
        fs::remove_all(sandbox_.file("a"));
        fs::create_directories(fonts_);
        fs::copy_file(seed.path(), archive_, fs::copy_options::overwrite_existing);
        for (const FontEntryResult& r : Install(archive_)) {
            const fs::path font = fs::path(fonts_) / r.file_name;
            if (r.status == FontEntryStatus::kInstalled) {
                EXPECT_EQ(r.declared_size, fs::file_size(font)) << r.entry_name;
            }
        }
        for (const std::string& path : Tree(sandbox_.path())) {
            EXPECT_TRUE(path == "a" || path == "a/fonts" || path == "archive.zip" ||
                        (path.rfind("a/fonts/", 0) == 0 && path.size() > 12 &&
                         path.find('/', 8) == std::string::npos &&
                         path.compare(path.size() - 4, 4, ".otf") == 0))
                << path;
        }
        ++archives;
    }
    EXPECT_GE(archives, 8);
}

// A disk that fills up while a font is written: the font is not installed,
// its temporary is removed, and the next font (once there is room) is.
TEST_F(HostileArchive, FullDiskLeavesNoHalfWrittenFont) {
    const std::string big = glyphoria::testing::FontBytes(std::string(50000, 'b'));
    const std::string small = glyphoria::testing::FontBytes();
    ASSERT_TRUE(glyphoria::testing::WriteZip(archive_, {{"Big.otf", big}, {"Small.otf", small}}));
    for (long long budget : {0LL, 1LL, 49999LL}) {
        SCOPED_TRACE(budget);
        fs::remove_all(fonts_);
        fs::create_directories(fonts_);
        glyphoria::platform::SetWriteBudgetForTesting(budget);
        const std::vector<FontEntryResult> results = Install(archive_);
        ASSERT_EQ(2u, results.size());
        EXPECT_EQ(FontSkipReason::kWriteFailed, results[0].reason);
        EXPECT_EQ(FontEntryStatus::kSkipped, results[0].status);
        // Small.otf fits only in what the failed write left over.
        const bool small_fits = budget >= static_cast<long long>(big.size() + small.size());
        EXPECT_EQ(small_fits, results[1].status == FontEntryStatus::kInstalled);
        EXPECT_EQ(small_fits ? std::set<std::string>{"Small.otf"} : std::set<std::string>{},
                  Tree(fonts_));
    }
    glyphoria::platform::SetWriteBudgetForTesting(-1);
    fs::remove_all(fonts_);
    fs::create_directories(fonts_);
    const std::vector<FontEntryResult> results = Install(archive_);
    EXPECT_EQ((std::set<std::string>{"Big.otf", "Small.otf"}), Tree(fonts_));
    EXPECT_EQ(big.size(), fs::file_size(fonts_ + "/Big.otf"));
}

// A deflate bomb that declares a small size is never inflated past it (the
// declared bytes, with their CRC, are the font), and one that declares its
// real size is refused by the size limit.
TEST_F(HostileArchive, BombsAreRefused) {
    const std::string zeros = glyphoria::testing::FontBytes(std::string(8u << 20, '\0'));
    const std::string packed = glyphoria::testing::RawDeflate(zeros);
    ZipTestEntry small_lie{"Lie.otf", packed};
    small_lie.raw = true;
    small_lie.declared_size = 1000;
    small_lie.declared_crc = glyphoria::testing::Crc32(zeros.substr(0, 1000));
    ZipTestEntry huge{"Huge.otf", packed};
    huge.raw = true;
    huge.declared_size = 1ull << 40;
    huge.declared_crc = 0;
    ASSERT_TRUE(glyphoria::testing::WriteZip(archive_, {small_lie, huge}));
    const std::vector<FontEntryResult> results = Install(archive_);
    ASSERT_EQ(2u, results.size());
    EXPECT_EQ(FontEntryStatus::kInstalled, results[0].status);
    EXPECT_EQ(1000u, fs::file_size(fonts_ + "/Lie.otf"));
    EXPECT_EQ(FontSkipReason::kTooLarge, results[1].reason);
    EXPECT_EQ(std::set<std::string>{"Lie.otf"}, Tree(fonts_));
}

// Entries named ".otf" whose bytes are no font (zeros, one byte, a web page,
// other font formats, a header whose table directory runs past the end)
// are not installed; the three sfnt versions of OpenType and TrueType are.
TEST_F(HostileArchive, OnlyFontsAreInstalled) {
    using glyphoria::testing::FontBytes;
    const std::string tables(28, '\0');
    const struct Case {
        const char* name;
        std::string bytes;
        bool installed;
    } cases[] = {
        {"Zeros.otf", std::string(100000, '\0'), false},
        {"One.otf", "x", false},
        {"Page.otf", "<html><body>Not found</body></html>", false},
        {"Tag.otf", "OTTO", false},
        {"NoTables.otf", std::string("OTTO\0\0\0\0\0\0\0\0", 12) + tables, false},
        {"PastTheEnd.otf", std::string("OTTO\0\2\0\0\0\0\0\0", 12) + std::string(16, 'r'), false},
        {"Collection.otf", "ttcf" + FontBytes().substr(4), false},
        {"Web.otf", "wOFF" + FontBytes().substr(4), false},
        {"Cff.otf", FontBytes("cff"), true},
        {"TrueType.otf", std::string("\0\1\0\0", 4) + FontBytes("glyf").substr(4), true},
        {"Apple.otf", "true" + FontBytes("apple").substr(4), true},
    };
    std::vector<ZipTestEntry> entries;
    std::set<std::string> installed;
    for (const Case& c : cases) {
        entries.push_back({c.name, c.bytes});
        if (c.installed) installed.insert(c.name);
    }
    ASSERT_TRUE(glyphoria::testing::WriteZip(archive_, entries));
    const std::vector<FontEntryResult> results = Install(archive_);
    ASSERT_EQ(std::size(cases), results.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(cases[i].installed ? FontSkipReason::kNone : FontSkipReason::kNotAFont,
                  results[i].reason);
        if (cases[i].installed) {
            EXPECT_EQ(cases[i].bytes,
                      glyphoria::testing::ReadFileBytes(fonts_ + "/" + cases[i].name));
        }
    }
    EXPECT_EQ(installed, Tree(fonts_));
}

// One archive installs at most 1000 entries' worth (what comes after is
// said once and left) and at most its byte cap of fonts (lowered here: the
// real 256 MB would make the test write that much).
TEST_F(HostileArchive, EntriesAndBytesPerArchiveAreCapped) {
    using glyphoria::testing::FontBytes;
    std::vector<ZipTestEntry> many;
    for (int i = 0; i < 1005; ++i)
        many.push_back({"F" + std::to_string(10000 + i) + ".otf", FontBytes()});
    ASSERT_TRUE(glyphoria::testing::WriteZip(archive_, many));
    std::vector<FontEntryResult> results = Install(archive_);
    ASSERT_EQ(1001u, results.size());
    EXPECT_EQ(FontEntryStatus::kInstalled, results[999].status);
    EXPECT_EQ(FontSkipReason::kTooManyEntries, results[1000].reason);
    EXPECT_EQ("F11000.otf", results[1000].entry_name);
    EXPECT_EQ(1000u, Tree(fonts_).size());
    EXPECT_EQ(0u, Tree(fonts_).count("F11000.otf"));

    fs::remove_all(fonts_);
    fs::create_directories(fonts_);
    glyphoria::SetFontArchiveLimitsForTesting({1000, 3 * FontBytes(std::string(1000, 'x')).size()});
    std::vector<ZipTestEntry> heavy;
    for (const char* name : {"A.otf", "B.otf", "C.otf", "D.otf"})
        heavy.push_back({name, FontBytes(std::string(1000, 'x'))});
    heavy.push_back({"Small.otf", FontBytes()});
    ASSERT_TRUE(glyphoria::testing::WriteZip(archive_, heavy));
    results = Install(archive_);
    ASSERT_EQ(5u, results.size());
    EXPECT_EQ(FontSkipReason::kArchiveTooLarge, results[3].reason);
    EXPECT_EQ(FontSkipReason::kArchiveTooLarge, results[4].reason);
    EXPECT_EQ((std::set<std::string>{"A.otf", "B.otf", "C.otf"}), Tree(fonts_));
}

// What an interrupted install left in the fonts folder (its temporaries)
// goes with the next install; a font of the user's that merely looks like
// one, and the user's other files, stay.
TEST_F(HostileArchive, LeftoversOfAnInterruptedInstallGoTheNextTime) {
    for (const char* name : {".glyphoria-0123456789ab.part", ".glyphoria-ffffffffffff.part",
                             ".glyphoria-notmine.part", "Mine.otf"})
        ASSERT_TRUE(glyphoria::testing::WriteFileBytes(fonts_ + "/" + name, "left"));
    ASSERT_TRUE(
        glyphoria::testing::WriteZip(archive_, {{"New.otf", glyphoria::testing::FontBytes()}}));
    Install(archive_);
    EXPECT_EQ((std::set<std::string>{".glyphoria-notmine.part", "Mine.otf", "New.otf"}),
              Tree(fonts_));
}

// A folder or a FIFO under a font's name is no installed font: the font
// cannot be written there, and nothing waits on the FIFO.
TEST_F(HostileArchive, SomethingElseUnderAFontsNameIsNoInstalledFont) {
    fs::create_directory(fonts_ + "/Folder.otf");
    ASSERT_EQ(0, mkfifo((fonts_ + "/Fifo.otf").c_str(), 0600));
    ASSERT_TRUE(
        glyphoria::testing::WriteZip(archive_, {{"Folder.otf", glyphoria::testing::FontBytes()},
                                                {"Fifo.otf", glyphoria::testing::FontBytes()}}));
    std::vector<std::string> told;
    glyphoria::SetMessageBoxHook([&](const glyphoria::ShownMessage& m) {
        told.push_back(m.text);
        return 1;
    });
    const std::vector<FontEntryResult> results = Install(archive_);
    ASSERT_EQ(2u, results.size());
    for (const FontEntryResult& r : results)
        EXPECT_EQ(FontSkipReason::kWriteFailed, r.reason) << r.file_name;
    EXPECT_TRUE(told.empty());
    EXPECT_TRUE(fs::is_fifo(fonts_ + "/Fifo.otf"));
    EXPECT_TRUE(fs::is_empty(fonts_ + "/Folder.otf"));
}

}  // namespace
