// The shop as a hostile or unlucky server against a purchase (DoBuy): error
// statuses with archive headers, a body that goes quiet after a few bytes, a
// download that needs the shop's session cookie, and server-chosen names
// that must not be saved as given. Each case checks the download folder byte
// for byte, the box the user sees and the log line that says why.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/net.h"
#include "purchase/fetch_limits.h"
#include "purchase/purchase_download.h"
#include "support/log.h"
#include "support/messages.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#include "testing/shop/download_modes.h"
#include "testing/shop/font_archive.h"
#include "testing/shop/shop.h"
#include "tests/common/test_env.h"

namespace {

namespace fs = std::filesystem;
namespace shop = glyphoria::testing::shop;
using glyphoria::testing::ReadFileBytes;

constexpr char kArchive[] = "<the archive>";  // stands for the shop's archive bytes

// Every file of the folder with its bytes.
std::map<std::string, std::string> Contents(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(fs::u8path(folder)))
        files[entry.path().filename().u8string()] = ReadFileBytes(entry.path().u8string());
    return files;
}

class HostileNet : public ::testing::Test {
  protected:
    void SetUp() override {
        glyphoria::LoadStrings();
        fs::create_directory(folder_);
        ASSERT_EQ(0, glyphoria::Prefs().Load(parent_.file("prefs.ini").c_str()));
        ASSERT_EQ(0, glyphoria::Prefs().SetString("General", "downloadFolder", folder_.c_str()));
        glyphoria::OpenLogInFolder(1, logs_.path().c_str(), "");
        glyphoria::SetMessageBoxHook([this](const glyphoria::ShownMessage& box) {
            shown_.push_back(box.text + (box.detail.empty() ? "" : " | " + box.detail));
            return 1;
        });
        // A server gone quiet fails after 300 ms instead of 30 s.
        glyphoria::SetBlockingFetchLimits({5000, 5000, 300});
        glyphoria::SetWindowedFetchLimits({5000, 5000, 300});
        shop::ShopOptions options;
        options.https = false;
        shop_ = std::make_unique<shop::Shop>(options);
        ASSERT_TRUE(shop_->Start());
        std::string error;
        std::optional<std::string> archive =
            shop::BuildFontArchive(shop_->catalogue().OpenTypeFonts(), scratch_.path(), &error);
        ASSERT_TRUE(archive) << error;
        archive_ = *archive;
    }
    void TearDown() override {
        glyphoria::SetMessageBoxHook(glyphoria::MessageBoxHook());
        glyphoria::SetBlockingFetchLimits(glyphoria::kDefaultBlockingFetchLimits);
        glyphoria::SetWindowedFetchLimits(glyphoria::kDefaultWindowedFetchLimits);
    }

    struct Case {
        std::string mode;
        std::string query;  // more of the download address's query
        int taken_over;
        std::map<std::string, std::string> files;  // kArchive: the shop's archive
        std::vector<std::string> shown;
        std::string logged;  // a line the log holds
    };

    void Check(const Case& c) {
        SCOPED_TRACE(c.mode + " " + c.query);
        fs::remove_all(fs::u8path(folder_));
        fs::create_directory(fs::u8path(folder_));
        fs::remove(fs::u8path(logs_.path() + "/Glyphoria.txt"));
        shown_.clear();
        std::string address = shop_->download_url(c.mode, "Fonts.zip");
        if (!c.query.empty())
            address += (address.find('?') == std::string::npos ? "?" : "&") + c.query;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(c.taken_over, glyphoria::DoBuy(address.c_str()));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        std::map<std::string, std::string> expected = c.files;
        for (auto& file : expected)
            if (file.second == kArchive) file.second = archive_;
        std::map<std::string, std::string> found = Contents(folder_);
        EXPECT_EQ(expected.size(), found.size());
        for (const auto& file : expected) {
            SCOPED_TRACE(file.first);
            ASSERT_EQ(1u, found.count(file.first));
            EXPECT_TRUE(found[file.first] == file.second) << found[file.first].size() << " bytes";
        }
        EXPECT_EQ(c.shown, shown_);
        EXPECT_NE(std::string::npos, ReadFileBytes(logs_.path() + "/Glyphoria.txt").find(c.logged))
            << c.logged;
        // Nothing beside the download folder.
        EXPECT_EQ(std::vector<std::string>{"downloads"}, Names(parent_.path()));
    }

    static std::vector<std::string> Names(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::u8path(folder)))
            if (entry.path().filename() != "prefs.ini")
                names.push_back(entry.path().filename().u8string());
        return names;
    }

    glyphoria::testing::TempDir parent_;
    glyphoria::testing::TempDir logs_;
    glyphoria::testing::TempDir scratch_;
    const std::string folder_ = parent_.path() + "/downloads";
    std::unique_ptr<shop::Shop> shop_;
    std::string archive_;
    std::vector<std::string> shown_;
};

const std::string kSaved = "doBuy saved: ";

// Error statuses, also under archive headers, are never saved as content.
TEST_F(HostileNet, ErrorStatusesAreFailures) {
    const std::string status = "doBuy failed: the server answered with HTTP status ";
    for (const Case& c : std::vector<Case>{
             {"error-archive", "", 0, {}, {}, status + "500\r"},
             {"error-archive", "status=404", 0, {}, {}, status + "404\r"},
             {"error", "status=503", 0, {}, {}, status + "503\r"},
             {"ok", "", 1, {{"Fonts.zip", kArchive}, {"b1.htm", kArchive}}, {}, kSaved},
         })
        Check(c);
}

// A body that stops after a few bytes ends the purchase after the stall
// limit, without a second wait; one that breaks off is tried once more.
TEST_F(HostileNet, StalledAndBrokenBodies) {
    const std::string timed_out = "the server stopped answering (timed out)";
    const std::string broke = "the connection broke off";
    Check({"silent",
           "",
           1,
           {{"b1.htm", archive_.substr(0, shop::kSilentAfterBytes)}},
           {"Download error for 'Fonts.zip'! | " + timed_out},
           "doBuy failed: " + timed_out + "\r"});
    EXPECT_EQ(1u, shop_->log().WithPrefix("/download/silent/").size());
    Check({"drop",
           "",
           1,
           {{"b1.htm", archive_.substr(0, archive_.size() / 2)}},
           {"Download error for 'Fonts.zip'! | " + broke},
           "doBuy failed: " + broke + "\r"});
    EXPECT_EQ(2u, shop_->log().WithPrefix("/download/drop/").size());
    Check({"huge-length",
           "",
           1,
           {},
           {"Download error for 'Fonts.zip'! | the download is too large"},
           "doBuy failed: the download is too large\r"});
}

// The shop's session, started by its cart page, reaches the download.
TEST_F(HostileNet, DownloadThatNeedsTheShopsSession) {
    Check({"cookie", "", 0, {}, {}, "doBuy failed: the server answered with HTTP status 403\r"});
    glyphoria::platform::SessionHandle session = glyphoria::platform::OpenSession(nullptr);
    ASSERT_TRUE(glyphoria::platform::OpenAddress(session.get(), shop_->cart_url().c_str()));
    Check({"cookie", "", 1, {{"Fonts.zip", kArchive}, {"b1.htm", kArchive}}, {}, kSaved});
}

// Content-Disposition values a server may send: only a safe name from the
// filename parameter is ever used, and nothing in the folder is replaced.
TEST_F(HostileNet, ServerChosenNames) {
    const std::map<std::string, std::string> copy_only = {{"b1.htm", kArchive}};
    const std::string probed = "doBuy: no safe file name in: ";
    for (const Case& c : std::vector<Case>{
             {"xfilename", "", 0, copy_only, {}, probed},
             {"blank-name", "", 0, copy_only, {}, probed},
             {"dot-name", "", 0, copy_only, {}, probed},
             {"device-name", "", 0, copy_only, {}, probed},
             {"trailing-dot", "", 0, copy_only, {}, probed},
             {"traversal", "", 0, copy_only, {}, probed},
             {"disposition",
              "value=attachment%3B%20filename%3D%22COM1%22",
              0,
              copy_only,
              {},
              probed},
             {"disposition",
              "value=attachment%3B%20filename%3D%22lpt1.zip%22",
              0,
              copy_only,
              {},
              probed},
             {"disposition",
              "value=attachment%3B%20filename%3D%22Fonts%20.zip%20%22",
              0,
              copy_only,
              {},
              probed},
             {"disposition",
              "value=attachment%3B%20filename%3DA.zip%3B%20filename%3DB.zip",
              0,
              copy_only,
              {},
              probed},
             {"inner-dots",
              "",
              1,
              {{"Sans..Bold.zip", kArchive}, {"b1.htm", kArchive}},
              {},
              kSaved + folder_ + "/Sans..Bold.zip\r"},
             {"encoded-name",
              "",
              1,
              {{"Schrift\xC3\xA4.zip", kArchive}, {"b1.htm", kArchive}},
              {},
              kSaved + folder_ + "/Schrift\xC3\xA4.zip\r"},
             {"unquoted",
              "",
              1,
              {{"Fonts.zip", kArchive}, {"b1.htm", kArchive}},
              {},
              kSaved + folder_ + "/Fonts.zip\r"},
         })
        Check(c);
}

TEST_F(HostileNet, FilesAlreadyThereAreKept) {
    fs::remove_all(fs::u8path(folder_));
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        shown_.clear();
        fs::create_directories(fs::u8path(folder_));
        if (round == 1) glyphoria::testing::WriteFileBytes(folder_ + "/Fonts.zip", "my own file");
        EXPECT_EQ(1, glyphoria::DoBuy(shop_->download_url("ok", "Fonts.zip").c_str()));
        const std::string used = "Fonts (" + std::to_string(round + 1) + ").zip";
        EXPECT_TRUE(ReadFileBytes(folder_ + "/" + used) == archive_);
        EXPECT_EQ(std::vector<std::string>{"'Fonts.zip' is already in the download folder: the "
                                           "archive was saved as '" +
                                           used + "'."},
                  shown_);
        EXPECT_NE(std::string::npos, ReadFileBytes(logs_.path() + "/Glyphoria.txt")
                                         .find(kSaved + folder_ + "/" + used + "\r"));
    }
    EXPECT_EQ("my own file", ReadFileBytes(folder_ + "/Fonts.zip"));
    EXPECT_EQ(5u, Contents(folder_).size());  // the three archives, the file and b1.htm
}

}  // namespace
