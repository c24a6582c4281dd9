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

#include "platform/fs.h"
#include "support/limits.h"
#include "support/log.h"
#include "support/messages.h"
#include "support/string_table.h"
#include "tests/common/test_env.h"
#include "tests/purchase/font_zip_writer.h"

namespace glyphoria {
namespace {

namespace fs = std::filesystem;
using testing::Crc32;
using testing::kUtc20110315;
using testing::ReadFileBytes;
using testing::WriteFileBytes;
using testing::ZipTestEntry;
using Names = std::vector<std::string>;

const char* const kRealFonts[] = {
    "/usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf",
    "/usr/share/texmf/fonts/opentype/public/tex-gyre/texgyreheros-bold.otf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

std::int64_t ModifiedSeconds(const std::string& path) {
    using namespace std::chrono;
    // C++17 gives file_time_type no known epoch: measure the age on its clock.
    const auto age = fs::file_time_type::clock::now() - fs::last_write_time(path);
    const auto when = system_clock::now().time_since_epoch() - duration_cast<nanoseconds>(age);
    return duration_cast<seconds>(when + milliseconds(500)).count();
}

Names FolderEntries(const std::string& folder) {
    Names names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// An entry whose stored bytes, declared size and CRC are given as they are.
ZipTestEntry Raw(const std::string& name, const std::string& stored, int method,
                 std::uint64_t declared_size, unsigned long declared_crc) {
    ZipTestEntry e{name, stored};
    e.method = method;
    e.raw = true;
    e.declared_size = declared_size;
    e.declared_crc = declared_crc;
    return e;
}

class FontInstall : public ::testing::Test {
  protected:
    void SetUp() override {
        LoadStrings();
        fs::create_directory(fonts_);
        SetMessageBoxHook([this](const ShownMessage& box) {
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

    // Python's zipfile as an outside producer; false when it is not there.
    bool MakeWithPython(const std::string& body) {
        if (std::system("python3 -c 'import zipfile, bz2, lzma' >/dev/null 2>&1") != 0)
            return false;
        const std::string script = work_.file("make.py");
        WriteFileBytes(script, "import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1], 'w')\n" +
                                   body + "z.close()\n");
        return std::system(("python3 '" + script + "' '" + archive_ + "'").c_str()) == 0;
    }

    testing::TempDir work_;
    const std::string fonts_ = work_.file("fonts");
    const std::string archive_ = work_.file("fonts.zip");
    std::vector<std::string> messages_;
    bool read_ = false;
};

TEST_F(FontInstall, RealFontsFromAFolderInTheArchiveGetTheArchiveDateAsUtc) {
    for (const char* f : kRealFonts)
        if (!fs::exists(f)) GTEST_SKIP() << "missing " << f;
    std::string body =
        "d = (2011, 3, 15, 10, 20, 30)\nz.writestr(zipfile.ZipInfo('Fonts/', d), b'')\n";
    for (const char* f : kRealFonts) {
        body += "z.writestr(zipfile.ZipInfo('Fonts/Family/" + fs::path(f).filename().string() +
                "', d), open('" + f + "', 'rb').read(), zipfile.ZIP_DEFLATED)\n";
    }
    body += "z.writestr(zipfile.ZipInfo('LICENSE.txt', d), b'licence')\n";
    if (!MakeWithPython(body)) GTEST_SKIP() << "no python3";

    const std::vector<FontEntryResult> results = Install();

    ASSERT_EQ(results.size(), 5u);
    for (int i : {0, 3, 4})
        EXPECT_EQ(results[i].reason, FontSkipReason::kNotOpenType);
    EXPECT_EQ(FolderEntries(fonts_), (Names{"Cantarell-Regular.otf", "texgyreheros-bold.otf"}));
    for (int i : {0, 1}) {
        const std::string installed = fonts_ + "/" + fs::path(kRealFonts[i]).filename().string();
        EXPECT_EQ(results[i + 1].status, FontEntryStatus::kInstalled);
        EXPECT_EQ(ReadFileBytes(installed), ReadFileBytes(kRealFonts[i]));
        EXPECT_EQ(ModifiedSeconds(installed), kUtc20110315);
    }
    EXPECT_TRUE(messages_.empty());
}

// One archive with every way an entry can go, reported in archive order.
TEST_F(FontInstall, EveryEntryGetsItsOwnOutcome) {
    const std::string font = testing::FontBytes(std::string(3000, 'f')), hundred(100, 'h');
    ZipTestEntry link{"Fonts/link.otf", "../../../../etc/passwd"};
    link.external_attributes = testing::kUnixSymlink;
    ZipTestEntry secret{"Fonts/secret.otf", font};
    secret.password = "password";
    ZipTestEntry bad_date{"Fonts/baddate.otf", font};
    bad_date.dos_date = (31ul << 9 | 0ul << 5 | 15ul) << 16 | (31ul << 11);  // month 0, hour 31
    ZipTestEntry stored{"Fonts/stored.otf", font};
    stored.method = 0;
    const auto kSkip = FontEntryStatus::kSkipped, kDone = FontEntryStatus::kInstalled;
    const struct Case {
        ZipTestEntry entry;
        FontEntryStatus status;
        FontSkipReason reason;
        std::string file_name;
    } cases[] = {
        {{"Fonts/Upper.OTF", font}, kSkip, FontSkipReason::kNotOpenType, "Upper.OTF"},
        {{"Fonts/Caf\x82.otf", font}, kDone, FontSkipReason::kNone, "Caf\xC3\xA9.otf"},
        {{"Fonts/.otf", font}, kSkip, FontSkipReason::kUnsafeName, ".otf"},
        {{"../../escape.otf", font}, kDone, FontSkipReason::kNone, "escape.otf"},
        {{"Fonts\\Win\\back.otf", font}, kDone, FontSkipReason::kNone, "back.otf"},
        {link, kSkip, FontSkipReason::kNotRegularFile, "link.otf"},
        {secret, kSkip, FontSkipReason::kEncrypted, "secret.otf"},
        {{"Fonts/empty.otf", ""}, kSkip, FontSkipReason::kEmpty, "empty.otf"},
        {Raw("short.otf", "OTTO", 0, 1000, Crc32("OTTO")), kSkip, FontSkipReason::kSizeMismatch,
         "short.otf"},
        {Raw("shortz.otf", testing::RawDeflate(hundred), Z_DEFLATED, 200, Crc32(hundred + hundred)),
         kSkip, FontSkipReason::kSizeMismatch, "shortz.otf"},
        {Raw("crc.otf", testing::RawDeflate(hundred), Z_DEFLATED, 100, Crc32(hundred) ^ 1), kSkip,
         FontSkipReason::kCrcError, "crc.otf"},
        {Raw("damaged.otf", std::string(64, '\xFF'), Z_DEFLATED, 100, 0), kSkip,
         FontSkipReason::kDamagedData, "damaged.otf"},
        {Raw("huge.otf", "OTTO", 0, 5ull << 30, 0), kSkip, FontSkipReason::kTooLarge, "huge.otf"},
        {Raw("cap.otf", "OTTO", 0, kMaxFontFileSize + 1, 0), kSkip, FontSkipReason::kTooLarge,
         "cap.otf"},
        // Cut to 511 bytes it would end in ".otf": the cut name is never used.
        {{std::string(507, 'a') + ".otf.txt", font},
         kSkip,
         FontSkipReason::kNameTooLong,
         std::string(507, 'a') + ".otf"},
        {bad_date, kDone, FontSkipReason::kNone, "baddate.otf"},
        {stored, kDone, FontSkipReason::kNone, "stored.otf"},
    };
    std::vector<ZipTestEntry> entries;
    for (const Case& c : cases)
        entries.push_back(c.entry);
    ASSERT_TRUE(testing::WriteZip(archive_, entries));

    const std::vector<FontEntryResult> results = Install();

    EXPECT_TRUE(read_);
    ASSERT_EQ(results.size(), std::size(cases));
    Names installed;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.entry.name);
        EXPECT_EQ(results[i].status, c.status);
        EXPECT_EQ(results[i].reason, c.reason);
        EXPECT_EQ(results[i].file_name, c.file_name);
        if (c.status != kDone) continue;
        installed.push_back(c.file_name);
        const std::string path = fonts_ + "/" + c.file_name;
        EXPECT_EQ(ReadFileBytes(path), font);
        EXPECT_EQ(results[i].date_applied, c.file_name != "baddate.otf");
        if (results[i].date_applied)
            EXPECT_EQ(ModifiedSeconds(path), kUtc20110315);
        else
            EXPECT_GT(ModifiedSeconds(path), kUtc20110315);
    }
    // No temporaries, nothing half-written, nothing beside the fonts folder.
    std::sort(installed.begin(), installed.end());
    EXPECT_EQ(FolderEntries(fonts_), installed);
    EXPECT_EQ(FolderEntries(work_.path()), (Names{"fonts", "fonts.zip"}));
    EXPECT_FALSE(testing::PathExists(fonts_ + "/../../escape.otf"));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(FontInstall, BombsAreNeverInflatedPastTheirDeclaredSize) {
    const std::string over_cap(kMaxFontFileSize + 1, '\0');
    const std::string eight_mib = testing::FontBytes(std::string((8u << 20) - 28, '\0'));
    const std::string head = eight_mib.substr(0, 4096);
    const std::string bomb = testing::RawDeflate(eight_mib);
    ASSERT_TRUE(testing::WriteZip(archive_,
                                  {{"big.otf", over_cap},
                                   Raw("lying.otf", bomb, Z_DEFLATED, 4096, Crc32(head)),
                                   Raw("lyingcrc.otf", bomb, Z_DEFLATED, 4096, Crc32(eight_mib))}));
    ASSERT_LT(fs::file_size(archive_), 1u << 20);

    const std::vector<FontEntryResult> results = Install();

    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].reason, FontSkipReason::kTooLarge);
    EXPECT_EQ(results[1].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(results[2].reason, FontSkipReason::kCrcError);
    EXPECT_EQ(FolderEntries(fonts_), (Names{"lying.otf"}));
    EXPECT_EQ(fs::file_size(fonts_ + "/lying.otf"), head.size());
}

TEST_F(FontInstall, FontsAlreadyThereStayAndEachIsReportedOnce) {
    ASSERT_TRUE(WriteFileBytes(fonts_ + "/Old.otf", "installed before"));
    ASSERT_TRUE(testing::WriteZip(archive_, {{"Old.otf", testing::FontBytes("new Old")},
                                             {"Light/Twice.otf", testing::FontBytes("first")},
                                             {"Bold/Twice.otf", testing::FontBytes("second")},
                                             {"Other.otf", testing::FontBytes("Other")}}));

    const std::vector<FontEntryResult> results = Install();

    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].status, FontEntryStatus::kAlreadyInstalled);
    EXPECT_EQ(results[1].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(results[2].status, FontEntryStatus::kAlreadyInstalled);
    EXPECT_EQ(results[3].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(ReadFileBytes(fonts_ + "/Old.otf"), "installed before");
    EXPECT_EQ(ReadFileBytes(fonts_ + "/Twice.otf"), testing::FontBytes("first"));
    EXPECT_EQ(messages_, (Names{"The font 'Old.otf' is already installed!",
                                "The font 'Twice.otf' is already installed!"}));
}

TEST_F(FontInstall, LinksPlantedUnderAFontsNameAreNeverWrittenThrough) {
    const std::string outside = work_.file("outside");
    fs::create_directory(outside);
    ASSERT_TRUE(WriteFileBytes(outside + "/victim", "keep me"));
    fs::create_symlink(outside + "/victim", fonts_ + "/Existing.otf");
    fs::create_symlink(outside + "/created-through-link", fonts_ + "/Dangling.otf");
    const std::string evil = testing::FontBytes("evil");
    ASSERT_TRUE(testing::WriteZip(archive_, {{"Existing.otf", evil}, {"Dangling.otf", evil}}));

    const std::vector<FontEntryResult> results = Install();

    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].status, FontEntryStatus::kAlreadyInstalled);
    EXPECT_EQ(results[1].status, FontEntryStatus::kAlreadyInstalled);
    EXPECT_EQ(ReadFileBytes(outside + "/victim"), "keep me");
    EXPECT_EQ(FolderEntries(outside), (Names{"victim"}));
    EXPECT_TRUE(fs::is_symlink(fonts_ + "/Dangling.otf"));
}

TEST_F(FontInstall, PythonArchivesWithUtf8NamesLinksAndOtherMethods) {
    if (!MakeWithPython("font = b'OTTO\\0\\1\\0\\x10\\0\\0\\0\\0name' + bytes(12)\n"
                        "z.writestr('S/Stra\\u00dfe.otf', font)\n"
                        "i = zipfile.ZipInfo('S/Link.otf')\n"
                        "i.create_system = 3\n"
                        "i.external_attr = 0o120777 << 16\n"
                        "z.writestr(i, b'/etc/passwd')\n"
                        "z.writestr('S/Bzip2.otf', b'OTTO' * 100, zipfile.ZIP_BZIP2)\n"
                        "z.writestr('S/Lzma.otf', b'OTTO' * 100, zipfile.ZIP_LZMA)\n"))
        GTEST_SKIP() << "no python3 with bz2 and lzma";

    const std::vector<FontEntryResult> results = Install();

    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].status, FontEntryStatus::kInstalled);
    EXPECT_EQ(results[1].reason, FontSkipReason::kNotRegularFile);
    EXPECT_EQ(results[2].reason, FontSkipReason::kUnsupportedMethod);
    EXPECT_EQ(results[3].reason, FontSkipReason::kUnsupportedMethod);
    EXPECT_EQ(FolderEntries(fonts_), (Names{"Stra\xC3\x9F"
                                            "e.otf"}));
}

TEST_F(FontInstall, AFontsFolderThatCannotBeWrittenTakesNothing) {
    ASSERT_TRUE(WriteFileBytes(work_.file("plain-file"), "not a folder"));
    const std::string read_only = work_.file("read-only");
    fs::create_directory(read_only);
    // Root writes into read-only folders anyway: the platform's hook refuses.
    platform::SetPathFaultForTesting(read_only, platform::kFaultWrite);
    ASSERT_TRUE(testing::WriteZip(
        archive_, {{"A.otf", testing::FontBytes()}, {"B.otf", testing::FontBytes()}}));
    for (const std::string& folder :
         {work_.file("missing"), work_.file("plain-file"), read_only, std::string(),
          work_.file(std::string(kPathBufferSize, 'f'))}) {
        SCOPED_TRACE(folder);
        const std::vector<FontEntryResult> results = Install(folder);
        ASSERT_EQ(results.size(), 2u);
        for (const FontEntryResult& r : results)
            EXPECT_EQ(r.reason, FontSkipReason::kWriteFailed);
    }
    platform::ClearPathFaultsForTesting();
    EXPECT_TRUE(FolderEntries(read_only).empty());
    EXPECT_FALSE(fs::exists(work_.file("missing")));
    EXPECT_TRUE(messages_.empty());
}

#ifndef _WIN32
// The file size limit fails the write half-way, as a full disk would.
TEST_F(FontInstall, AWriteThatFailsHalfWayLeavesNothing) {
    ASSERT_TRUE(
        testing::WriteZip(archive_, {{"Big.otf", testing::FontBytes(std::string(64 * 1024, 'b'))},
                                     {"Small.otf", testing::FontBytes(std::string(100, 's'))}}));
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
    EXPECT_EQ(FolderEntries(fonts_), (Names{"Small.otf"}));
}
#endif

TEST_F(FontInstall, WhatIsNoWholeArchiveIsNotReportedAsRead) {
    ASSERT_TRUE(testing::WriteZip(archive_, {{"First.otf", testing::FontBytes("1")},
                                             {"Second.otf", testing::FontBytes("2")}}));
    const std::string good = ReadFileBytes(archive_);
    std::string broken = good;  // the directory's second record damaged
    const std::string record("PK\x01\x02", 4);
    broken[broken.find(record, broken.find(record) + 1) + 3] = '\x09';
    const struct {
        const char* what;
        std::string bytes;
        Names installed;
    } cases[] = {
        {"empty", "", {}},
        {"text", "This is not an archive.\n", {}},
        {"first half", good.substr(0, good.size() / 2), {}},
        {"without its end record", good.substr(0, good.size() - 22), {}},
        {"directory breaks off", broken, {"First.otf"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(fonts_);
        fs::create_directory(fonts_);
        ASSERT_TRUE(WriteFileBytes(archive_, c.bytes));
        EXPECT_EQ(Install().size(), c.installed.size());
        EXPECT_FALSE(read_);
        EXPECT_EQ(FolderEntries(fonts_), c.installed);
    }
    fs::remove(archive_);
    EXPECT_TRUE(Install().empty());
    EXPECT_FALSE(read_);
}

TEST_F(FontInstall, TheFontsFolderIsLoggedForEveryFontReadAndABadDateToo) {
    const std::string log_folder = work_.file("log");
    fs::create_directory(log_folder);
    SetLogEcho(false);
    OpenLogInFolder(1, log_folder.c_str(), "");
    ZipTestEntry bad_date{"Bad.otf", testing::FontBytes()};
    bad_date.dos_date = (31ul << 9 | 13ul << 5 | 15ul) << 16;  // month 13
    ASSERT_TRUE(testing::WriteZip(
        archive_, {{"Good.otf", testing::FontBytes()}, {"Read.me", "text"}, bad_date}));

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
    ASSERT_TRUE(testing::WriteZip(archive_, {{"Fonts/Mine.otf", testing::FontBytes("mine")}}));

    InstallFontsFromArchive(archive_.c_str());

    EXPECT_EQ(ReadFileBytes(data_home + "/fonts/Mine.otf"), testing::FontBytes("mine"));
    EXPECT_EQ(ModifiedSeconds(data_home + "/fonts/Mine.otf"), kUtc20110315);
}

}  // namespace
}  // namespace glyphoria
