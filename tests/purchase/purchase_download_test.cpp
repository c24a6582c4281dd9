// The purchase download: the probe's rules, the server's file name, where the
// archive lands and what the user sees when it does not.
#include "purchase/purchase_download.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>

#include "purchase/fetch_limits.h"
#include "support/messages.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#include "tests/common/loopback_server.h"

namespace {

using glyphoria::DoBuy;
using glyphoria::ProbePurchase;
using glyphoria::testing::LoopbackServer;
using glyphoria::testing::PathExists;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;
using glyphoria::testing::SelfSignedCertificate;
using glyphoria::testing::TempDir;
using glyphoria::testing::TestHome;
using glyphoria::testing::WriteFileBytes;

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        names.insert(it->path().filename().string());
    return names;
}

// What the shop answers at one path.
struct Answer {
    std::string type;
    std::string disposition;  // empty: no header
    std::string body;
};

class Purchase : public ::testing::Test {
  protected:
    void SetUp() override {
        glyphoria::LoadStrings();
        // The folder sits one level down, so anything escaping it shows up
        // in the parent.
        folder_ = parent_.path() + "/downloads";
        std::filesystem::create_directory(folder_);
        ASSERT_EQ(0, glyphoria::Prefs().Load(parent_.file("prefs.ini").c_str()));
        SetDownloadFolder(folder_);
        glyphoria::SetMessageBoxHook([this](const glyphoria::MessageBox& box) {
            messages_.push_back(box.text);
            return 1;
        });
        server_.server().Get(R"(/(.*))",
                             [this](const httplib::Request& req, httplib::Response& res) {
                                 std::lock_guard<std::mutex> lock(mutex_);
                                 ++hits_[req.path];
                                 auto it = answers_.find(req.path);
                                 if (it == answers_.end()) {
                                     res.status = 404;
                                     return;
                                 }
                                 if (!it->second.disposition.empty())
                                     res.set_header("Content-Disposition", it->second.disposition);
                                 res.set_content(it->second.body, it->second.type.c_str());
                             });
        server_.Start();
    }
    void TearDown() override {
        glyphoria::SetMessageBoxHook(glyphoria::MessageBoxHook());
        glyphoria::SetBlockingFetchLimits(glyphoria::kDefaultBlockingFetchLimits);
    }

    void SetDownloadFolder(const std::string& folder) {
        ASSERT_EQ(0, glyphoria::Prefs().SetString("General", "downloadFolder", folder.c_str()));
    }
    std::string Serve(const std::string& path, const Answer& answer) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_[path] = answer;
        return server_.url(path);
    }
    int Hits(const std::string& path) {
        std::lock_guard<std::mutex> lock(mutex_);
        return hits_[path];
    }

    TempDir parent_;
    std::string folder_;
    LoopbackServer server_;
    std::vector<std::string> messages_;
    std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::map<std::string, int> hits_;
};

TEST_F(Purchase, ProbeRules) {
    const std::string name255 = std::string(251, 'n') + ".zip";
    const std::string name256 = std::string(252, 'n') + ".zip";
    struct Case {
        const char* what;
        Answer answer;
        int result;
        std::string name;
    } cases[] = {
        {"zip, quoted name",
         {"application/zip", "attachment; filename=\"MyFonts.zip\"", "PK"},
         1,
         "MyFonts.zip"},
        {"octet-stream",
         {"application/octet-stream", "attachment; filename=\"a b.zip\"", "PK"},
         1,
         "a b.zip"},
        {"extended name first",
         {"application/zip", "attachment; filename*=UTF-8''x.zip; filename=\"x.zip\"", "PK"},
         1,
         "x.zip"},
        {"type with a parameter",
         {"application/zip; charset=binary", "attachment; filename=\"a.zip\"", "PK"},
         0,
         ""},
        {"other type", {"text/html", "attachment; filename=\"a.zip\"", "<html>"}, 0, ""},
        {"unquoted name", {"application/zip", "attachment; filename=a.zip", "PK"}, 0, ""},
        {"no closing quote", {"application/zip", "attachment; filename=\"a.zip", "PK"}, 0, ""},
        {"no disposition", {"application/zip", "", "PK"}, 0, ""},
        {"empty name", {"application/zip", "attachment; filename=\"\"", "PK"}, 0, ""},
        {"255-byte name",
         {"application/zip", "attachment; filename=\"" + name255 + "\"", "PK"},
         1,
         name255},
        {"256-byte name",
         {"application/zip", "attachment; filename=\"" + name256 + "\"", "PK"},
         0,
         ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string url = Serve("/download/" + std::to_string(++n), c.answer);
        char name[256];
        std::memset(name, 0, sizeof name);
        EXPECT_EQ(c.result, ProbePurchase(url.c_str(), name));
        EXPECT_EQ(c.name, name);
        // The first response is kept, whatever the answer was.
        EXPECT_EQ(c.answer.body, ReadFileBytes(folder_ + "/b1.htm"));
    }
}

// The server's name is a plain name inside the download folder or nothing.
TEST_F(Purchase, HostileFileNamesAreRefused) {
    const char* hostile[] = {
        "../evil.zip", "..\\evil.zip", "sub/evil.zip",    "/tmp/evil.zip",
        "C:evil.zip",  "C:\\evil.zip", "evil.zip:stream", "..",
        ".",           "evil\x01.zip", "evil\x7f.zip",    "a..zip",
    };
    int n = 0;
    for (const char* file_name : hostile) {
        SCOPED_TRACE(file_name);
        std::string url = Serve(
            "/download/h" + std::to_string(++n),
            {"application/zip", std::string("attachment; filename=\"") + file_name + "\"", "PK"});
        EXPECT_EQ(0, DoBuy(url.c_str()));
        EXPECT_EQ(1, Hits("/download/h" + std::to_string(n)));  // probed, not fetched
    }
    // A NUL inside the header, which no server library will send.
    ScriptedServer nul({ScriptedServer::Send(
        ResponseHead("200 OK", {"Content-Type: application/zip", "Content-Length: 2",
                                std::string("Content-Disposition: filename=\"../x\0.zip\"", 41)}) +
        "PK")});
    EXPECT_EQ(0, DoBuy(nul.url("/download/nul").c_str()));

    EXPECT_EQ(std::set<std::string>({"b1.htm"}), FilesIn(folder_));
    EXPECT_EQ(std::set<std::string>({"downloads"}), FilesIn(parent_.path()));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(Purchase, NotADownloadAddressIsLeftAlone) {
    std::string url = Serve("/cart/checkout", {"application/zip", "filename=\"a.zip\"", "PK"});
    EXPECT_EQ(0, DoBuy(url.c_str()));
    char name[256] = {};
    EXPECT_EQ(0, ProbePurchase(server_.url("/Download").c_str(), name));  // case counts
    EXPECT_EQ(0, Hits("/cart/checkout"));
    EXPECT_EQ(0, Hits("/Download"));
    EXPECT_TRUE(FilesIn(folder_).empty());
}

TEST_F(Purchase, BuySavesTheArchiveUnderTheServersName) {
    const std::string archive = "PK\x03\x04" + std::string(50000, 'z');
    std::string url = Serve("/download/order1",
                            {"application/zip", "attachment; filename=\"MyFonts.zip\"", archive});
    ASSERT_TRUE(WriteFileBytes(folder_ + "/MyFonts.zip", "older archive"));
    EXPECT_EQ(1, DoBuy(url.c_str()));
    EXPECT_EQ(2, Hits("/download/order1"));
    EXPECT_TRUE(ReadFileBytes(folder_ + "/MyFonts.zip") == archive);
    EXPECT_TRUE(ReadFileBytes(folder_ + "/b1.htm") == archive);
    EXPECT_EQ(std::set<std::string>({"MyFonts.zip", "b1.htm"}), FilesIn(folder_));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(Purchase, EmptyFolderMeansTheUsersDownloads) {
    SetDownloadFolder("");
    const std::string downloads = TestHome() + "/Downloads";
    std::string url = Serve("/download/order2",
                            {"application/zip", "attachment; filename=\"Fallback.zip\"", "PK!"});
    EXPECT_EQ(1, DoBuy(url.c_str()));
    EXPECT_EQ("PK!", ReadFileBytes(downloads + "/Fallback.zip"));
    std::filesystem::remove(downloads + "/Fallback.zip");
    std::filesystem::remove(downloads + "/b1.htm");
}

TEST_F(Purchase, HttpsDownloadWithoutLengthIsSaved) {
    SelfSignedCertificate certificate;
    LoopbackServer secure(certificate);
    secure.server().Get("/download/s", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Content-Disposition", "attachment; filename=\"Secure.zip\"");
        res.set_chunked_content_provider("application/zip",
                                         [](std::size_t, httplib::DataSink& sink) {
                                             sink.write("PK-secure", 9);
                                             sink.done();
                                             return true;
                                         });
    });
    secure.Start();
    glyphoria::platform::SetTrustedCaFile(certificate.cert_file().c_str());
    int result = DoBuy(secure.url("/download/s").c_str());
    glyphoria::platform::SetTrustedCaFile(nullptr);
    EXPECT_EQ(1, result);
    EXPECT_EQ("PK-secure", ReadFileBytes(folder_ + "/Secure.zip"));
    EXPECT_EQ("", ReadFileBytes(folder_ + "/b1.htm"));  // no length: an empty copy
}

// The probe succeeded, the fetch did not: the link is still taken over, the
// user is told, and nothing is saved under the archive's name.
TEST_F(Purchase, FailedFetchIsReported) {
    const std::string head =
        ResponseHead("200 OK", {"Content-Type: application/zip", "Content-Length: 40000",
                                "Content-Disposition: attachment; filename=\"Lost.zip\""});
    // First connection (probe) and second (fetch) alike: cut off mid-body.
    ScriptedServer server(
        {ScriptedServer::Send(head + std::string(100, 'z')), ScriptedServer::Close()});
    EXPECT_EQ(1, DoBuy(server.url("/download/x").c_str()));
    EXPECT_EQ(2, server.connections());
    EXPECT_FALSE(PathExists(folder_ + "/Lost.zip"));
    ASSERT_EQ(1u, messages_.size());
    EXPECT_EQ("Download error for 'Lost.zip'!", messages_[0]);
}

TEST_F(Purchase, UnwritableFolderIsReported) {
    SetDownloadFolder(parent_.path() + "/no/such/folder");
    std::string url =
        Serve("/download/order3", {"application/zip", "attachment; filename=\"F.zip\"", "PK"});
    EXPECT_EQ(1, DoBuy(url.c_str()));
    ASSERT_EQ(1u, messages_.size());
    EXPECT_EQ("Download error for 'F.zip'!", messages_[0]);
}

// The probe blocks without a window: a server that stops answering must
// release it (limits shortened here; the defaults are 15 s and 30 s).
TEST_F(Purchase, StalledProbeGivesUp) {
    glyphoria::platform::NetLimits quick = glyphoria::kDefaultBlockingFetchLimits;
    quick.low_speed_bytes = 1000;
    quick.low_speed_seconds = 1;
    quick.response_timeout_ms = 500;
    glyphoria::SetBlockingFetchLimits(quick);
    struct Case {
        const char* what;
        std::vector<ScriptedServer::Step> script;
    } cases[] = {
        {"no answer", {ScriptedServer::Pause(20000)}},
        {"body stops",
         {ScriptedServer::Send(
              ResponseHead("200 OK", {"Content-Type: application/zip", "Content-Length: 5000",
                                      "Content-Disposition: filename=\"S.zip\""}) +
              "PK"),
          ScriptedServer::Pause(20000)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer server(c.script);
        auto start = std::chrono::steady_clock::now();
        char name[256] = {};
        ProbePurchase(server.url("/download").c_str(), name);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

TEST(PurchaseNames, QuotedFileName) {
    struct Case {
        const char* disposition;
        bool found;
        const char* name;
    } cases[] = {
        {"attachment; filename=\"a.zip\"", true, "a.zip"},
        {"filename=\"a.zip\"; size=3", true, "a.zip"},
        {"attachment; filename=a.zip", false, ""},
        {"attachment; filename= \"a.zip\"", false, ""},
        {"attachment; FILENAME=\"a.zip\"", false, ""},
        {"attachment; filename=\"a.zip", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.disposition);
        char out[256] = {};
        EXPECT_EQ(c.found, glyphoria::ExtractQuotedFileName(c.disposition, out, sizeof out));
        EXPECT_STREQ(c.name, out);
    }
    // A name that does not fit the caller's buffer is not cut.
    char small[4] = {};
    EXPECT_FALSE(glyphoria::ExtractQuotedFileName("filename=\"abcd\"", small, sizeof small));
    EXPECT_TRUE(glyphoria::ExtractQuotedFileName("filename=\"abc\"", small, sizeof small));
}

TEST(PurchaseNames, SaveRefusesWhatIsNotAPlainName) {
    TempDir dir;
    ASSERT_EQ(0, glyphoria::Prefs().Load(dir.file("prefs.ini").c_str()));
    ASSERT_EQ(
        0, glyphoria::Prefs().SetString("General", "downloadFolder", (dir.path() + "/in").c_str()));
    std::filesystem::create_directory(dir.path() + "/in");
    for (const char* name : {"../out.zip", "", "a/b.zip", "a\\b.zip", "x:y"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(glyphoria::SaveToDownloadFolder("PK", 2, name));
    }
    EXPECT_FALSE(glyphoria::SaveToDownloadFolder("PK", 2, nullptr));
    EXPECT_TRUE(glyphoria::SaveToDownloadFolder("PK", 2, "ok.zip"));
    EXPECT_EQ(std::set<std::string>({"in"}), FilesIn(dir.path()));
    EXPECT_EQ(std::set<std::string>({"ok.zip"}), FilesIn(dir.path() + "/in"));
}

}  // namespace
