// Servers that lie about the length of what they send, stall, drop the
// connection or announce what no buffer can hold, against the transfer
// (DownloadUrl) and the purchase probe and download (ProbePurchase, DoBuy):
// never a crash, never a buffer reported whole that is not, never a file
// under the archive's name that is not the whole archive.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "purchase/purchase_download.h"
#include "purchase/transfer.h"
#include "support/messages.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#include "testing/shop/shop.h"
#include "tests/common/loopback_server.h"
#include "tests/common/test_env.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator counts what it hands out; GCC ships no header
// for this part of its interface.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

const std::string kBody = "PK\x03\x04" + std::string(996, 'z');  // 1000 bytes

struct LengthCase {
    const char* name;
    std::vector<std::string> length_headers;
    bool probed;  // the purchase probe takes the address as a download
};

// Each announces something other than the 1000 bytes that follow. None is
// believed: every transfer and every purchase ends without the document.
const LengthCase kLyingLengths[] = {
    {"4294967295", {"Content-Length: 4294967295"}, true},
    {"-1", {"Content-Length: -1"}, false},  // the answer itself is refused
    {"two different lengths", {"Content-Length: 10", "Content-Length: 1000"}, true},
    {"two different lengths, long first", {"Content-Length: 5000", "Content-Length: 1000"}, true},
    {"beyond 64 bits", {"Content-Length: 18446744073709551616"}, true},
    {"not a number", {"Content-Length: 1e3"}, true},
    {"longer than sent", {"Content-Length: 1001"}, true},
};

class HostileLengths : public ::testing::Test {
  protected:
    void SetUp() override {
        glyphoria::LoadStrings();
        std::filesystem::create_directory(folder_);
        ASSERT_EQ(0, glyphoria::Prefs().Load(parent_.file("prefs.ini").c_str()));
        ASSERT_EQ(0, glyphoria::Prefs().SetString("General", "downloadFolder", folder_.c_str()));
        glyphoria::SetMessageBoxHook([this](const glyphoria::ShownMessage& box) {
            messages_.push_back(box.text);
            return 1;
        });
    }
    void TearDown() override { glyphoria::SetMessageBoxHook(glyphoria::MessageBoxHook()); }

    glyphoria::testing::TempDir parent_;
    std::string folder_ = parent_.path() + "/downloads";
    std::vector<std::string> messages_;
};

// A transfer holds the whole document or nothing; a lying length, nothing.
TEST_F(HostileLengths, TransferHoldsNothingWhenTheLengthLies) {
    for (const LengthCase& c : kLyingLengths) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> headers = c.length_headers;
        headers.push_back("Connection: close");
        ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", headers) + kBody),
                               ScriptedServer::Close()});
        std::size_t size = 777;
        char* data = glyphoria::DownloadUrl(server.url("/x").c_str(), &size, "downloading");
        EXPECT_EQ(nullptr, data) << std::string(data ? data : "", data ? size : 0);
        std::free(data);
        EXPECT_EQ(777u, size);
    }
}

// The probe and the purchase: a lying length never leaves a file under the
// archive's name, and a failure after the probe is shown, not reported as
// success.
TEST_F(HostileLengths, PurchaseSavesNothingWhenTheLengthLies) {
    for (const LengthCase& c : kLyingLengths) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directory(folder_);
        messages_.clear();
        std::vector<std::string> headers = {
            "Content-Type: application/zip",
            "Content-Disposition: attachment; filename=\"Order.zip\"", "Connection: close"};
        headers.insert(headers.end(), c.length_headers.begin(), c.length_headers.end());
        ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", headers) + kBody),
                               ScriptedServer::Close()});
        char name[256] = {};
        const int probed = glyphoria::ProbePurchase(server.url("/download/1").c_str(), name);
        EXPECT_EQ(c.probed ? 1 : 0, probed);
        EXPECT_EQ(probed, glyphoria::DoBuy(server.url("/download/1").c_str()));
        EXPECT_FALSE(std::filesystem::exists(folder_ + "/Order.zip"));
        EXPECT_EQ(c.probed ? std::vector<std::string>{"Download error for 'Order.zip'!"}
                           : std::vector<std::string>{},
                  messages_);
        for (const std::string& file : FilesIn(folder_))
            EXPECT_TRUE(file == "Order.zip" || file == "b1.htm") << file;
    }
}

// Bytes the process has allocated on the heap right now.
std::size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// The most the heap grew above where it stood while it runs.
template <class Work>
std::size_t PeakHeapGrowth(Work work) {
    const std::size_t before = HeapInUse();
    std::atomic<bool> done{false};
    std::atomic<std::size_t> peak{before};
    std::thread sampler([&] {
        while (!done) {
            const std::size_t now = HeapInUse();
            if (now > peak) peak = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    work();
    done = true;
    sampler.join();
    return peak > before ? peak - before : 0;
}

// The probe keeps a copy of the first response: a server that announces far
// more than it sends (and lingers) costs only what arrived, and the copy
// holds exactly that.
TEST_F(HostileLengths, FirstResponseCopyHoldsWhatCameWithoutReservingTheAnnouncedLength) {
    const std::string some = "<html>" + std::string(94, 'x');  // 100 bytes
    std::string large(300 * 1024, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>('a' + i % 26);
    struct Case {
        const char* name;
        std::string length;
        std::string body;
        int linger_ms;
    } cases[] = {
        {"two gigabytes announced, 100 bytes sent", "2147482000", some, 600},
        {"a gigabyte announced, nothing sent", "1073741824", "", 600},
        {"honest, several steps long", std::to_string(large.size()), large, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directory(folder_);
        const std::vector<std::string> headers = {"Content-Type: text/html",
                                                  "Content-Length: " + c.length};
        ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", headers) + c.body),
                               ScriptedServer::Pause(c.linger_ms), ScriptedServer::Close()});
        char name[256] = "untouched";
        const std::size_t growth = PeakHeapGrowth([&] {
            EXPECT_EQ(0, glyphoria::ProbePurchase(server.url("/download/1").c_str(), name));
        });
        EXPECT_LT(growth, 16u * 1024 * 1024);
        EXPECT_STREQ("untouched", name);
        EXPECT_EQ(c.body, glyphoria::testing::ReadFileBytes(folder_ + "/b1.htm"));
    }
}

// The stand-in shop's broken downloads, end to end through DoBuy.
TEST_F(HostileLengths, ShopFaultModes) {
    glyphoria::testing::shop::ShopOptions options;
    options.https = false;
    options.default_stall_seconds = 1;
    glyphoria::testing::shop::Shop shop(options);
    ASSERT_TRUE(shop.Start());
    struct Case {
        const char* mode;
        int taken_over;  // DoBuy's answer: 0 when the probe refused the link
        bool saved;
    } cases[] = {
        {"ok", 1, true},
        {"huge-length", 1, false},
        {"drop", 1, false},
        {"stall", 1, true},
        {"chunked", 1, true},
        // Content-Disposition names that would leave the download folder.
        {"traversal", 0, false},
        {"absolute", 0, false},
        {"drive", 0, false},
        {"control", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directory(folder_);
        messages_.clear();
        EXPECT_EQ(c.taken_over, glyphoria::DoBuy(shop.download_url(c.mode, "Fonts.zip").c_str()));
        const std::string saved = folder_ + "/Fonts.zip";
        EXPECT_EQ(c.saved, std::filesystem::exists(saved));
        if (c.saved) {
            EXPECT_EQ("PK", glyphoria::testing::ReadFileBytes(saved).substr(0, 2));
            EXPECT_TRUE(messages_.empty());
        } else if (c.taken_over) {
            EXPECT_EQ(std::vector<std::string>{"Download error for 'Fonts.zip'!"}, messages_);
        }
        // Nothing but the archive and the first response's copy, and nothing
        // beside the download folder.
        for (const std::string& file : FilesIn(folder_))
            EXPECT_TRUE(file == "Fonts.zip" || file == "b1.htm") << file;
        EXPECT_EQ(std::set<std::string>{"downloads"}, FilesIn(parent_.path()));
    }
}

}  // namespace
