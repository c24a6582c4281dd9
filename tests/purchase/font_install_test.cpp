#include "purchase/font_install.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "support/limits.h"
#include "support/log.h"
#include "support/messages.h"
#include "support/string_table.h"
#include "tests/common/test_env.h"
#include "tests/purchase/font_zip_writer.h"

namespace glyphoria {
namespace {

namespace fs = std::filesystem;
using testing::kDosDate20110315;
using testing::kUtc20110315;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;
using testing::ZipEntrySpec;

// Real OpenType fonts from the system's font packages.
const char* const kRealFonts[] = {
    "/usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf",
    "/usr/share/texmf/fonts/opentype/public/tex-gyre/texgyreheros-bold.otf",
    "/usr/share/texmf/fonts/opentype/public/tex-gyre/texgyrepagella-regular.otf",
};
const char* const kTrueTypeFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::int64_t ModifiedSeconds(const std::string& path) {
    using namespace std::chrono;
    // file_time_type has no portable epoch in C++17; measure from "now" on
    // both clocks and round to whole seconds (archive dates have no fraction).
    const auto age = fs::file_time_type::clock::now() - fs::last_write_time(path);
    const auto when = system_clock::now().time_since_epoch() - duration_cast<nanoseconds>(age);
    return duration_cast<seconds>(when + milliseconds(500)).count();
}

std::int64_t NowSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool HaveProgram(const char* check) {
    return std::system(check) == 0;
}

class FontInstall : public ::testing::Test {
  protected:
    void SetUp() override {
        LoadStrings();
        fonts_ = work_.file("fonts");
        fs::create_directory(fonts_);
        archive_ = work_.file("fonts.zip");
        SetMessageBoxHook([this](const MessageBox& box) {
            messages_.push_back(box.text);
            return 1;
        });
    }
    void TearDown() override { SetMessageBoxHook(MessageBoxHook()); }

    std::vector<FontEntryResult> Install(const std::string& folder) {
        std::vector<FontEntryResult> results;
        read_ = InstallFontsFromArchiveTo(archive_.c_str(), folder.c_str(),
                                          [&](const FontEntryResult& r) { results.push_back(r); });
        return results;
    }
    std::vector<FontEntryResult> Install() { return Install(fonts_); }

    std::string RealFont(int i) {
        std::string bytes = ReadFileBytes(kRealFonts[i]);
        if (bytes.empty()) ADD_FAILURE() << "missing font " << kRealFonts[i];
        return bytes;
    }

    // Runs a Python script that writes the archive (an outside producer).
    void RunPython(const std::string& script) {
        const std::string file = work_.file("make_zip.py");
        ASSERT_TRUE(WriteFileBytes(file, script));
        ASSERT_EQ(std::system(("python3 '" + file + "' '" + archive_ + "'").c_str()), 0);
    }

    TempDir work_;
    std::string fonts_;
    std::string archive_;
    std::vector<std::string> messages_;
    bool read_ = false;
};

TEST_F(FontInstall, RealFontsInAFolderOfTheArchiveLandInTheFontsFolderWithTheirDateAsUtc) {
    if (!HaveProgram("python3 -c 'import zipfile' >/dev/null 2>&1")) GTEST_SKIP() << "no python3";
    for (const char* f : {kRealFonts[0], kRealFonts[1], kTrueTypeFont})
        if (!fs::exists(f)) GTEST_SKIP() << "missing " << f;
    RunPython(std::string("import sys, zipfile\n") +
              "z = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)\n"
              "d = (2011, 3, 15, 10, 20, 30)\n"
              "z.writestr(zipfile.ZipInfo('Fonts/', d), b'')\n"
              "z.writestr(zipfile.ZipInfo('Fonts/Sans/Cantarell-Regular.otf', d), open('" +
              kRealFonts[0] + "', 'rb').read(), zipfile.ZIP_DEFLATED)\n" +
              "z.writestr(zipfile.ZipInfo('Fonts/texgyreheros-bold.otf', d), open('" +
              kRealFonts[1] + "', 'rb').read(), zipfile.ZIP_DEFLATED)\n" +
              "z.writestr(zipfile.ZipInfo('Fonts/DejaVuSans.ttf', d), open('" + kTrueTypeFont +
              "', 'rb').read())\n" + "z.writestr(zipfile.ZipInfo('LICENSE.txt', d), b'licence')\n" +
              "z.close()\n");

    const std::vector<FontEntryResult> results = Install();

    EXPECT_TRUE(read_);
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[1].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(results[2].status, FontEntryStatus::kInstalled);
    for (int i : {0, 3, 4}) {
        SCOPED_TRACE(results[i].entry_name);
        EXPECT_EQ(results[i].status, FontEntryStatus::kSkipped);
        EXPECT_EQ(results[i].reason, FontSkipReason::kNotOpenType);
    }
    EXPECT_EQ(FolderEntries(fonts_),
              (std::vector<std::string>{"Cantarell-Regular.otf", "texgyreheros-bold.otf"}));
    EXPECT_EQ(ReadFileBytes(fonts_ + "/Cantarell-Regular.otf"), RealFont(0));
    EXPECT_EQ(ReadFileBytes(fonts_ + "/texgyreheros-bold.otf"), RealFont(1));
    EXPECT_EQ(ModifiedSeconds(fonts_ + "/Cantarell-Regular.otf"), kUtc20110315);
    EXPECT_EQ(ModifiedSeconds(fonts_ + "/texgyreheros-bold.otf"), kUtc20110315);
    EXPECT_TRUE(messages_.empty());
}

// One archive with an entry for every way an entry can go; the order of the
// results is the order of the archive.
TEST_F(FontInstall, EveryEntryGetsItsOwnOutcome) {
    const std::string font = "OTTO" + std::string(3000, 'f');
    const std::string hundred(100, 'h');
    ZipEntrySpec upper{"Fonts/Upper.OTF", font};
    ZipEntrySpec dos_name{"Fonts/Caf\x82.otf", font};
    ZipEntrySpec only_ext{"Fonts/.otf", font};
    ZipEntrySpec escape{"../../escape.otf", font};
    ZipEntrySpec backslash{"Fonts\\Win\\back.otf", font};
    ZipEntrySpec link{"Fonts/link.otf", "../../../../etc/passwd"};
    link.external_attributes = testing::kUnixSymlink;
    ZipEntrySpec fifo{"Fonts/fifo.otf", font};
    fifo.external_attributes = 0010644ul << 16;
    ZipEntrySpec secret{"Fonts/secret.otf", font};
    secret.password = "password";
    ZipEntrySpec empty{"Fonts/empty.otf", ""};
    ZipEntrySpec short_stored{"Fonts/short.otf", "OTTO"};
    short_stored.method = 0;
    short_stored.raw = true;
    short_stored.declared_size = 1000;
    short_stored.declared_crc = testing::Crc32("OTTO");
    ZipEntrySpec short_deflated{"Fonts/shortz.otf", testing::RawDeflate(hundred)};
    short_deflated.raw = true;
    short_deflated.declared_size = 200;
    short_deflated.declared_crc = testing::Crc32(hundred + hundred);
    ZipEntrySpec bad_crc{"Fonts/crc.otf", testing::RawDeflate(hundred)};
    bad_crc.raw = true;
    bad_crc.declared_size = 100;
    bad_crc.declared_crc = testing::Crc32(hundred) ^ 1;
    ZipEntrySpec garbage{"Fonts/damaged.otf", std::string(64, '\xFF')};
    garbage.raw = true;
    garbage.declared_size = 100;
    ZipEntrySpec huge{"Fonts/huge.otf", "OTTO"};
    huge.method = 0;
    huge.raw = true;
    huge.declared_size = 5ull << 30;
    ZipEntrySpec over_cap{"Fonts/overcap.otf", "OTTO"};
    over_cap.method = 0;
    over_cap.raw = true;
    over_cap.declared_size = kMaxFontFileSize + 1;
    // 511 bytes of it would end in ".otf": the cut name must not be used.
    ZipEntrySpec long_name{std::string(507, 'a') + ".otf.txt", font};
    ZipEntrySpec bad_date{"Fonts/baddate.otf", font};
    bad_date.dos_date = (31ul << 9 | 0ul << 5 | 15ul) << 16 | (31ul << 11);  // month 0, hour 31
    ZipEntrySpec stored{"Fonts/stored.otf", font};
    stored.method = 0;

    struct Case {
        ZipEntrySpec entry;
        FontEntryStatus status;
        FontSkipReason reason;
        std::string file_name;
    };
    const auto kSkip = FontEntryStatus::kSkipped;
    const auto kDone = FontEntryStatus::kInstalled;
    const Case cases[] = {
        {upper, kSkip, FontSkipReason::kNotOpenType, "Upper.OTF"},
        {dos_name, kDone, FontSkipReason::kNone, "Caf\xC3\xA9.otf"},
        {only_ext, kSkip, FontSkipReason::kUnsafeName, ".otf"},
        {escape, kDone, FontSkipReason::kNone, "escape.otf"},
        {backslash, kDone, FontSkipReason::kNone, "back.otf"},
        {link, kSkip, FontSkipReason::kNotRegularFile, "link.otf"},
        {fifo, kSkip, FontSkipReason::kNotRegularFile, "fifo.otf"},
        {secret, kSkip, FontSkipReason::kEncrypted, "secret.otf"},
        {empty, kSkip, FontSkipReason::kEmpty, "empty.otf"},
        {short_stored, kSkip, FontSkipReason::kSizeMismatch, "short.otf"},
        {short_deflated, kSkip, FontSkipReason::kSizeMismatch, "shortz.otf"},
        {bad_crc, kSkip, FontSkipReason::kCrcError, "crc.otf"},
        {garbage, kSkip, FontSkipReason::kDamagedData, "damaged.otf"},
        {huge, kSkip, FontSkipReason::kTooLarge, "huge.otf"},
        {over_cap, kSkip, FontSkipReason::kTooLarge, "overcap.otf"},
        {long_name, kSkip, FontSkipReason::kNameTooLong, std::string(507, 'a') + ".otf"},
        {bad_date, kDone, FontSkipReason::kNone, "baddate.otf"},
        {stored, kDone, FontSkipReason::kNone, "stored.otf"},
    };
    std::vector<ZipEntrySpec> entries;
    for (const Case& c : cases)
        entries.push_back(c.entry);
    ASSERT_TRUE(testing::WriteZip(archive_, entries));

    const std::vector<FontEntryResult> results = Install();

    EXPECT_TRUE(read_);
    ASSERT_EQ(results.size(), std::size(cases));
    std::vector<std::string> installed;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.entry.name);
        EXPECT_EQ(results[i].status, c.status);
        EXPECT_EQ(results[i].reason, c.reason);
        EXPECT_EQ(results[i].file_name, c.file_name);
        if (c.status != kDone) continue;
        installed.push_back(c.file_name);
        EXPECT_EQ(ReadFileBytes(fonts_ + "/" + c.file_name), font);
        if (c.file_name == "baddate.otf") {
            EXPECT_FALSE(results[i].date_applied);
            EXPECT_LE(std::abs(ModifiedSeconds(fonts_ + "/baddate.otf") - NowSeconds()), 60);
        } else {
            EXPECT_TRUE(results[i].date_applied);
            EXPECT_EQ(ModifiedSeconds(fonts_ + "/" + c.file_name), kUtc20110315);
        }
    }
    // Nothing else in the fonts folder (no temporaries, nothing half-written)
    // and nothing beside it.
    std::sort(installed.begin(), installed.end());
    EXPECT_EQ(FolderEntries(fonts_), installed);
    EXPECT_EQ(FolderEntries(work_.path()), (std::vector<std::string>{"fonts", "fonts.zip"}));
    EXPECT_FALSE(testing::PathExists(fonts_ + "/../../escape.otf"));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(FontInstall, BombsAreNeverInflatedPastTheirDeclaredSize) {
    const std::string zeros(kMaxFontFileSize + 1, '\0');
    const std::string head = zeros.substr(0, 4096);
    const std::string eight_mib(8u << 20, '\0');
    // Honest but over the limit: a few kilobytes that inflate past the cap.
    ZipEntrySpec big{"big.otf", zeros};
    // Small declared sizes over a large stream: reading stops at the declared
    // size, so the one whose CRC covers that much installs exactly that much.
    ZipEntrySpec lying{"lying.otf", testing::RawDeflate(eight_mib)};
    lying.raw = true;
    lying.declared_size = head.size();
    lying.declared_crc = testing::Crc32(head);
    ZipEntrySpec lying_crc = lying;
    lying_crc.name = "lyingcrc.otf";
    lying_crc.declared_crc = testing::Crc32(eight_mib);
    ASSERT_TRUE(testing::WriteZip(archive_, {big, lying, lying_crc}));
    ASSERT_LT(fs::file_size(archive_), 1u << 20);

    const std::vector<FontEntryResult> results = Install();

    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].reason, FontSkipReason::kTooLarge);
    EXPECT_EQ(results[1].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(fs::file_size(fonts_ + "/lying.otf"), head.size());
    EXPECT_EQ(results[2].reason, FontSkipReason::kCrcError);
    EXPECT_EQ(FolderEntries(fonts_), (std::vector<std::string>{"lying.otf"}));
}

TEST_F(FontInstall, FontsAlreadyThereStayAndEachIsReportedOnce) {
    ASSERT_TRUE(WriteFileBytes(fonts_ + "/Old.otf", "installed before"));
    ASSERT_TRUE(testing::WriteZip(archive_, {{"Old.otf", "new Old"},
                                             {"Light/Twice.otf", "first Twice"},
                                             {"Bold/Twice.otf", "second Twice"},
                                             {"Other.otf", "Other"}}));

    const std::vector<FontEntryResult> results = Install();

    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].status, FontEntryStatus::kAlreadyInstalled);
    EXPECT_EQ(results[1].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(results[2].status, FontEntryStatus::kAlreadyInstalled);
    EXPECT_EQ(results[3].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(ReadFileBytes(fonts_ + "/Old.otf"), "installed before");
    EXPECT_EQ(ReadFileBytes(fonts_ + "/Twice.otf"), "first Twice");
    EXPECT_EQ(messages_, (std::vector<std::string>{"The font 'Old.otf' is already installed!",
                                                   "The font 'Twice.otf' is already installed!"}));
    EXPECT_EQ(FolderEntries(fonts_),
              (std::vector<std::string>{"Old.otf", "Other.otf", "Twice.otf"}));
}

TEST_F(FontInstall, LinksPlantedUnderAFontsNameAreNeverWrittenThrough) {
    const std::string outside = work_.file("outside");
    fs::create_directory(outside);
    ASSERT_TRUE(WriteFileBytes(outside + "/victim", "keep me"));
    fs::create_symlink(outside + "/victim", fonts_ + "/Existing.otf");
    fs::create_symlink(outside + "/created-through-link", fonts_ + "/Dangling.otf");
    ASSERT_TRUE(testing::WriteZip(archive_, {{"Existing.otf", "evil"}, {"Dangling.otf", "evil"}}));

    const std::vector<FontEntryResult> results = Install();

    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].status, FontEntryStatus::kAlreadyInstalled);
    EXPECT_EQ(results[1].status, FontEntryStatus::kAlreadyInstalled);
    EXPECT_EQ(ReadFileBytes(outside + "/victim"), "keep me");
    EXPECT_EQ(FolderEntries(outside), (std::vector<std::string>{"victim"}));
    EXPECT_TRUE(fs::is_symlink(fonts_ + "/Existing.otf"));
    EXPECT_TRUE(fs::is_symlink(fonts_ + "/Dangling.otf"));
    EXPECT_EQ(messages_.size(), 2u);
}

TEST_F(FontInstall, LinkEntriesFromOutsideProducersAreNotInstalled) {
    if (!HaveProgram("zip -v >/dev/null 2>&1")) GTEST_SKIP() << "no zip program";
    const std::string src = work_.file("src");
    fs::create_directory(src);
    ASSERT_TRUE(WriteFileBytes(src + "/Real.otf", "OTTO real"));
    fs::create_symlink("/etc/passwd", src + "/Link.otf");
    ASSERT_EQ(
        std::system(("cd '" + src + "' && zip -q -y '" + archive_ + "' Real.otf Link.otf").c_str()),
        0);

    const std::vector<FontEntryResult> results = Install();

    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(results[1].reason, FontSkipReason::kNotRegularFile);
    EXPECT_EQ(FolderEntries(fonts_), (std::vector<std::string>{"Real.otf"}));
    EXPECT_FALSE(fs::is_symlink(fonts_ + "/Real.otf"));
}

// Python's zipfile as an outside producer: UTF-8 names (flagged as such),
// a link entry, and compression methods minizip cannot read.
TEST_F(FontInstall, PythonArchivesWithUtf8NamesLinksAndOtherMethods) {
    if (!HaveProgram("python3 -c 'import zipfile, bz2, lzma' >/dev/null 2>&1"))
        GTEST_SKIP() << "no python3 with bz2 and lzma";
    RunPython(
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1], 'w')\n"
        "z.writestr('Schriften/Stra\\u00dfe-\\u00c4.otf', b'OTTO')\n"
        "i = zipfile.ZipInfo('Schriften/Link.otf')\n"
        "i.create_system = 3\n"
        "i.external_attr = 0o120777 << 16\n"
        "z.writestr(i, b'Stra\\xc3\\x9fe-\\xc3\\x84.otf')\n"
        "z.writestr('Schriften/Bzip2.otf', b'OTTO' * 100, zipfile.ZIP_BZIP2)\n"
        "z.writestr('Schriften/Lzma.otf', b'OTTO' * 100, zipfile.ZIP_LZMA)\n"
        "z.close()\n");

    const std::vector<FontEntryResult> results = Install();

    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(results[1].reason, FontSkipReason::kNotRegularFile);
    EXPECT_EQ(results[2].reason, FontSkipReason::kUnsupportedMethod);
    EXPECT_EQ(results[3].reason, FontSkipReason::kUnsupportedMethod);
    EXPECT_EQ(FolderEntries(fonts_), (std::vector<std::string>{"Stra\xC3\x9F"
                                                               "e-\xC3\x84.otf"}));
}

TEST_F(FontInstall, AFontsFolderThatCannotBeWrittenTakesNothing) {
    ASSERT_TRUE(WriteFileBytes(work_.file("plain-file"), "not a folder"));
    const std::string read_only = work_.file("read-only");
    fs::create_directory(read_only);
    fs::permissions(read_only, fs::perms::owner_read | fs::perms::owner_exec);
    // Privileged users write into read-only folders anyway.
    const bool permissions_hold = !WriteFileBytes(read_only + "/probe", "x");
    fs::remove(read_only + "/probe");
    struct Case {
        const char* what;
        std::string folder;
    };
    const Case cases[] = {
        {"missing", work_.file("missing")},
        {"a plain file", work_.file("plain-file")},
        {"read-only", read_only},
        {"no folder at all", ""},
        {"a path longer than a path buffer", work_.file(std::string(kPathBufferSize, 'f'))},
    };
    ASSERT_TRUE(testing::WriteZip(archive_, {{"A.otf", "OTTO"}, {"B.otf", "OTTO"}}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.folder == read_only && !permissions_hold) continue;
        const std::vector<FontEntryResult> results = Install(c.folder);
        EXPECT_TRUE(read_);
        ASSERT_EQ(results.size(), 2u);
        for (const FontEntryResult& r : results)
            EXPECT_EQ(r.reason, FontSkipReason::kWriteFailed);
    }
    EXPECT_TRUE(FolderEntries(read_only).empty());
    EXPECT_FALSE(fs::exists(work_.file("missing")));
    EXPECT_TRUE(messages_.empty());
}

#ifndef _WIN32
// A write that fails half-way (here: the file size limit, as a full disk
// would) leaves neither the font nor its temporary behind.
TEST_F(FontInstall, AWriteThatFailsHalfWayLeavesNothing) {
    ASSERT_TRUE(testing::WriteZip(archive_, {{"Big.otf", std::string(64 * 1024, 'b')},
                                             {"Small.otf", std::string(100, 's')}}));
    struct rlimit old_limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    struct rlimit limit = old_limit;
    limit.rlim_cur = 16 * 1024;
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);

    const std::vector<FontEntryResult> results = Install();

    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].reason, FontSkipReason::kWriteFailed);
    EXPECT_EQ(results[1].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(FolderEntries(fonts_), (std::vector<std::string>{"Small.otf"}));
}
#endif

TEST_F(FontInstall, WhatIsNoReadableArchiveInstallsNothing) {
    const std::string good = work_.file("good.zip");
    ASSERT_TRUE(testing::WriteZip(good, {{"A.otf", std::string(5000, 'a')}}));
    const std::string bytes = ReadFileBytes(good);
    struct Case {
        const char* what;
        bool create;
        std::string content;
    };
    const Case cases[] = {
        {"missing", false, ""},
        {"empty", true, ""},
        {"text", true, "This is not an archive.\n"},
        {"first half of an archive", true, bytes.substr(0, bytes.size() / 2)},
        {"without its directory's end record", true, bytes.substr(0, bytes.size() - 22)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(archive_);
        if (c.create) {
            ASSERT_TRUE(WriteFileBytes(archive_, c.content));
        }
        EXPECT_TRUE(Install().empty());
        EXPECT_FALSE(read_);
    }
    EXPECT_TRUE(FolderEntries(fonts_).empty());
    EXPECT_TRUE(messages_.empty());
}

// The directory's second record is damaged: the first font is installed,
// and the archive is not reported as read.
TEST_F(FontInstall, ADirectoryThatBreaksOffIsNotReportedAsRead) {
    ASSERT_TRUE(testing::WriteZip(archive_, {{"First.otf", "OTTO 1"}, {"Second.otf", "OTTO 2"}}));
    std::string bytes = ReadFileBytes(archive_);
    const std::string record("PK\x01\x02", 4);
    const std::size_t second = bytes.find(record, bytes.find(record) + 1);
    ASSERT_NE(second, std::string::npos);
    bytes[second + 3] = '\x09';
    ASSERT_TRUE(WriteFileBytes(archive_, bytes));

    const std::vector<FontEntryResult> results = Install();

    EXPECT_FALSE(read_);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(FolderEntries(fonts_), (std::vector<std::string>{"First.otf"}));
}

TEST_F(FontInstall, TheFontsFolderIsLoggedForEveryFontReadAndABadDateToo) {
    const std::string log_folder = work_.file("log");
    fs::create_directory(log_folder);
    SetLogEcho(false);
    OpenLogInFolder(1, log_folder.c_str(), "");
    ZipEntrySpec bad_date{"Bad.otf", "OTTO"};
    bad_date.dos_date = (31ul << 9 | 13ul << 5 | 15ul) << 16;  // month 13
    ASSERT_TRUE(testing::WriteZip(archive_, {{"Good.otf", "OTTO"}, {"Read.me", "text"}, bad_date}));

    Install();

    OpenLogInFolder(0, "", "");
    SetLogEcho(true);
    EXPECT_EQ(
        ReadFileBytes(log_folder + "/Glyphoria.txt"),
        "\xEF\xBB\xBF" + fonts_ + "\r" + fonts_ + "\rfontDate: invalid 3FAF0000 for Bad.otf\r");
}

TEST_F(FontInstall, WithoutAFolderFontsGoToTheUsersFontsFolder) {
    const std::string data_home = work_.file("data");
    fs::create_directory(data_home);
    testing::ScopedEnv xdg("XDG_DATA_HOME", data_home.c_str());
    ASSERT_TRUE(testing::WriteZip(archive_, {{"Fonts/Mine.otf", "OTTO mine"}}));

    InstallFontsFromArchive(archive_.c_str());

    EXPECT_EQ(ReadFileBytes(data_home + "/fonts/Mine.otf"), "OTTO mine");
    EXPECT_EQ(ModifiedSeconds(data_home + "/fonts/Mine.otf"), kUtc20110315);
}

}  // namespace
}  // namespace glyphoria
