// The purchase download: the probe's rules, the server's file name, where the
// archive lands and what the user sees when it does not.
#include "purchase/purchase_download.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>

#include "platform/progress.h"
#include "purchase/fetch_limits.h"
#include "support/log.h"
#include "support/messages.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#include "tests/common/loopback_server.h"

namespace {

using glyphoria::DoBuy;
using glyphoria::ProbePurchase;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

struct Answer {
    std::string type, disposition, body;  // no disposition header when empty
    int status = 200;
    int only_request = 0;  // the status for this request only (1 the first); 0 for all
};

// A shop serving a table of answers, a download folder one level below a
// fresh folder (so an escape shows in the parent), and the boxes shown.
class Purchase : public ::testing::Test {
  protected:
    void SetUp() override {
        glyphoria::LoadStrings();
        std::filesystem::create_directory(folder_);
        ASSERT_EQ(0, glyphoria::Prefs().Load(parent_.file("prefs.ini").c_str()));
        SetFolder(folder_);
        glyphoria::SetMessageBoxHook([this](const glyphoria::ShownMessage& box) {
            messages_.push_back(box.text);
            if (!box.detail.empty()) details_.push_back(box.detail);
            return 1;
        });
        server_.server().Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(mutex_);
            const int hit = ++hits_[req.path];
            const Answer& a = answers_[req.path];
            if (!a.disposition.empty()) res.set_header("Content-Disposition", a.disposition);
            if (a.only_request == 0 || a.only_request == hit) res.status = a.status;
            res.set_content(a.body, a.type.c_str());
        });
        server_.Start();
    }
    void TearDown() override { glyphoria::SetMessageBoxHook(glyphoria::MessageBoxHook()); }

    void SetFolder(const std::string& folder) {
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

    glyphoria::testing::TempDir parent_;
    std::string folder_ = parent_.path() + "/downloads";
    glyphoria::testing::LoopbackServer server_;
    std::vector<std::string> messages_;
    std::vector<std::string> details_;
    std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::map<std::string, int> hits_;
};

TEST_F(Purchase, ProbeRules) {
    const std::string name255 = std::string(251, 'n') + ".zip";
    const std::string name256 = "n" + name255;
    struct Case {
        Answer answer;
        std::string name;  // empty: the probe fails
    } cases[] = {
        {{"application/zip", "attachment; filename=\"Order1234.zip\"", "PK"}, "Order1234.zip"},
        {{"application/octet-stream", "attachment; filename=\"a b.zip\"", "PK"}, "a b.zip"},
        {{"application/zip", "attachment; filename*=UTF-8''x.zip; filename=\"x.zip\"", "PK"},
         "x.zip"},
        {{"application/zip", "attachment; filename=\"" + name255 + "\"", "PK"}, name255},
        {{"application/zip", "attachment; filename=\"" + name256 + "\"", "PK"}, ""},
        {{"application/zip; charset=binary", "attachment; filename=\"a.zip\"", "PK"}, ""},
        {{"text/html", "attachment; filename=\"a.zip\"", "<html>"}, ""},
        {{"application/zip", "attachment; filename=a.zip", "PK"}, "a.zip"},
        {{"application/zip", "attachment; FILENAME=\"a.zip\"", "PK"}, "a.zip"},
        {{"application/zip", "attachment; xfilename=\"a.zip\"", "PK"}, ""},
        {{"application/zip", "attachment; filename=\"a.zip", "PK"}, ""},
        {{"application/zip", "attachment; filename=\" \"", "PK"}, ""},
        {{"application/zip", "", "PK"}, ""},
        {{"application/zip", "attachment; filename=\"\"", "PK"}, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.type + " | " + c.answer.disposition.substr(0, 60));
        std::string url = Serve("/download/" + std::to_string(++n), c.answer);
        char name[256] = {};
        EXPECT_EQ(c.name.empty() ? 0 : 1, ProbePurchase(url.c_str(), name));
        EXPECT_EQ(c.name, name);
        // The first response is kept, whatever it was.
        EXPECT_EQ(c.answer.body, ReadFileBytes(folder_ + "/b1.htm"));
    }
}

TEST_F(Purchase, NotADownloadAddressIsNotFetched) {
    EXPECT_EQ(
        0, DoBuy(Serve("/cart/checkout", {"application/zip", "filename=\"a.zip\"", "PK"}).c_str()));
    EXPECT_EQ(0, DoBuy(server_.url("/Download").c_str()));  // case counts
    EXPECT_EQ(0, Hits("/cart/checkout") + Hits("/Download"));
    EXPECT_TRUE(FilesIn(folder_).empty());
}

// The server's name is a plain name inside the download folder, or nothing.
TEST_F(Purchase, HostileFileNamesAreRefused) {
    const std::string hostile[] = {
        "../evil.zip", "..\\evil.zip", "sub/evil.zip",    "/tmp/evil.zip",
        "C:evil.zip",  "C:\\evil.zip", "evil.zip:stream", "..",
        ".",           "evil\x01.zip", "evil\x7f.zip",    ".profile",
        ".zip",        "CON",          "nul.zip",         "COM1.zip",
        "LPT1",        "Fonts.zip.",   "Fonts.zip ",      "a*b.zip",
    };
    int n = 0;
    for (const std::string& file_name : hostile) {
        SCOPED_TRACE(file_name);
        std::string path = "/download/h" + std::to_string(++n);
        Serve(path, {"application/zip", "attachment; filename=\"" + file_name + "\"", "PK"});
        EXPECT_EQ(0, DoBuy(server_.url(path).c_str()));
        EXPECT_EQ(1, Hits(path));  // probed, never fetched
    }
    // A NUL inside the header, which no server library will send.
    ScriptedServer nul({ScriptedServer::Send(
        ResponseHead("200 OK", {"Content-Type: application/zip", "Content-Length: 2",
                                std::string("Content-Disposition: filename=\"../x\0.zip\"", 41)}) +
        "PK")});
    EXPECT_EQ(0, DoBuy(nul.url("/download/nul").c_str()));
    EXPECT_FALSE(glyphoria::SaveToDownloadFolder("PK", 2, "../direct.zip"));

    EXPECT_EQ(std::set<std::string>({"b1.htm"}), FilesIn(folder_));
    EXPECT_EQ(std::set<std::string>({"downloads"}), FilesIn(parent_.path()));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(Purchase, BuySavesTheArchive) {
    const std::string archive = "PK\x03\x04" + std::string(50000, 'z');
    std::string url = Serve("/download/1",
                            {"application/zip", "attachment; filename=\"Order1234.zip\"", archive});
    glyphoria::BuyOutcome outcome;
    EXPECT_EQ(1, DoBuy(url.c_str(), &outcome));
    EXPECT_EQ(2, Hits("/download/1"));
    EXPECT_EQ(folder_ + "/Order1234.zip", outcome.saved_path);
    EXPECT_TRUE(ReadFileBytes(folder_ + "/Order1234.zip") == archive);
    EXPECT_TRUE(ReadFileBytes(folder_ + "/b1.htm") == archive);
    EXPECT_EQ(std::set<std::string>({"Order1234.zip", "b1.htm"}), FilesIn(folder_));
    EXPECT_TRUE(messages_.empty());

    // The same purchase again: the first archive stays, the second goes
    // beside it, and the user is told its name.
    EXPECT_EQ(1, DoBuy(url.c_str(), &outcome));
    EXPECT_EQ(folder_ + "/Order1234 (2).zip", outcome.saved_path);
    EXPECT_TRUE(ReadFileBytes(folder_ + "/Order1234 (2).zip") == archive);
    EXPECT_EQ(std::set<std::string>({"Order1234.zip", "Order1234 (2).zip", "b1.htm"}),
              FilesIn(folder_));
    EXPECT_EQ(std::vector<std::string>({"'Order1234.zip' is already in the download folder: the "
                                        "archive was saved as 'Order1234 (2).zip'."}),
              messages_);
    messages_.clear();

    // Two dots inside a name are no way out of the folder.
    url = Serve("/download/dots",
                {"application/zip", "attachment; filename=\"Sans..Bold.zip\"", "PK"});
    EXPECT_EQ(1, DoBuy(url.c_str()));
    EXPECT_EQ("PK", ReadFileBytes(folder_ + "/Sans..Bold.zip"));

    // A name at the 255-byte limit is taken and saved under that name.
    const std::string long_name = std::string(251, 'n') + ".zip";
    url = Serve("/download/long",
                {"application/zip", "attachment; filename=\"" + long_name + "\"", "PK"});
    EXPECT_EQ(1, DoBuy(url.c_str()));
    EXPECT_EQ("PK", ReadFileBytes(folder_ + "/" + long_name));
    EXPECT_TRUE(messages_.empty());

    // No folder chosen: the user's downloads folder, not a root folder.
    SetFolder("");
    const std::string downloads = glyphoria::testing::TestHome() + "/Downloads";
    url = Serve("/download/2", {"application/zip", "attachment; filename=\"Fallback.zip\"", "PK"});
    EXPECT_EQ(1, DoBuy(url.c_str()));
    EXPECT_EQ("PK", ReadFileBytes(downloads + "/Fallback.zip"));
    std::filesystem::remove(downloads + "/Fallback.zip");
    std::filesystem::remove(downloads + "/b1.htm");
}

// After a successful probe the link is taken over (1) whatever follows; a
// fetch or save that fails is shown, and nothing lands under the name.
TEST_F(Purchase, FailuresAfterTheProbeAreReported) {
    ScriptedServer dropping({ScriptedServer::Send(
        ResponseHead("200 OK", {"Content-Type: application/zip", "Content-Length: 40000",
                                "Content-Disposition: attachment; filename=\"Lost.zip\""}) +
        std::string(100, 'z'))});
    glyphoria::BuyOutcome outcome;
    EXPECT_EQ(1, DoBuy(dropping.url("/download/x").c_str(), &outcome));
    EXPECT_EQ(2, dropping.connections());
    EXPECT_EQ(glyphoria::platform::NetFailure::kBroken, outcome.error.failure);
    EXPECT_EQ("", outcome.saved_path);
    EXPECT_EQ(std::string(100, 'z'), ReadFileBytes(folder_ + "/b1.htm"));  // what came
    EXPECT_EQ(std::vector<std::string>({"the connection broke off"}), details_);

    SetFolder(parent_.path() + "/no/such/folder");
    EXPECT_EQ(1,
              DoBuy(Serve("/download/3", {"application/zip", "filename=\"F.zip\"", "PK"}).c_str()));

    // A chosen folder longer than the setting's 255 bytes is not cut into
    // another folder's name, even when its first 255 bytes name one.
    const std::string prefix = parent_.path() + "/";
    ASSERT_LT(prefix.size(), 200u);
    const std::string cut = prefix + std::string(254 - prefix.size(), 'c') + "/";
    ASSERT_EQ(255u, cut.size());
    std::filesystem::create_directories(cut + "sub");
    SetFolder(cut + "sub");
    EXPECT_EQ(1,
              DoBuy(Serve("/download/4", {"application/zip", "filename=\"G.zip\"", "PK"}).c_str()));
    EXPECT_EQ(std::set<std::string>({"sub"}), FilesIn(cut));
    EXPECT_EQ(
        std::vector<std::string>({"Download error for 'Lost.zip'!", "Download error for 'F.zip'!",
                                  "Download error for 'G.zip'!"}),
        messages_);
    EXPECT_EQ("the archive could not be written to the download folder", details_.back());
}

// The archive's own request answering an error (with archive headers) or
// the user's cancel: nothing lands under the name, the log says why, and only
// a failure the user did not choose is shown.
TEST_F(Purchase, ErrorAnswersAndCancelSaveNothing) {
    Answer flaky{"application/zip", "attachment; filename=\"Flaky.zip\"", "PK-archive", 503};
    glyphoria::testing::TempDir logs;
    glyphoria::OpenLogInFolder(1, logs.path().c_str(), "");
    glyphoria::BuyOutcome outcome;
    // The probe itself gets the error page: not taken over, no copy kept.
    EXPECT_EQ(0, DoBuy(Serve("/download/flaky1", flaky).c_str(), &outcome));
    EXPECT_EQ(glyphoria::platform::NetFailure::kHttpStatus, outcome.error.failure);
    EXPECT_EQ(503, outcome.error.status);
    EXPECT_TRUE(FilesIn(folder_).empty());
    EXPECT_TRUE(messages_.empty());
    // The second fetch gets it: taken over, shown with the status.
    flaky.only_request = 2;
    EXPECT_EQ(1, DoBuy(Serve("/download/flaky2", flaky).c_str(), &outcome));
    EXPECT_EQ(503, outcome.error.status);
    EXPECT_EQ(std::set<std::string>({"b1.htm"}), FilesIn(folder_));
    EXPECT_EQ("PK-archive", ReadFileBytes(folder_ + "/b1.htm"));
    EXPECT_EQ(std::vector<std::string>({"Download error for 'Flaky.zip'!"}), messages_);
    EXPECT_EQ(std::vector<std::string>({"the server answered with HTTP status 503"}), details_);
    // The user cancels the second fetch: no box.
    glyphoria::platform::SetProgressHook(
        [](glyphoria::platform::ProgressWindow&) { glyphoria::platform::CancelProgress(); });
    flaky.status = 200;
    EXPECT_EQ(1, DoBuy(Serve("/download/flaky3", flaky).c_str(), &outcome));
    glyphoria::platform::SetProgressHook(nullptr);
    EXPECT_EQ(glyphoria::platform::NetFailure::kCancelled, outcome.error.failure);
    EXPECT_EQ(1u, messages_.size());
    EXPECT_FALSE(glyphoria::testing::PathExists(folder_ + "/Flaky.zip"));
    const std::string log = ReadFileBytes(logs.path() + "/Glyphoria.txt");
    EXPECT_NE(std::string::npos,
              log.find("doBuy failed: the server answered with HTTP status 503\r"));
    EXPECT_NE(std::string::npos, log.find("doBuy failed: cancelled by the user\r"));
}

// The probe blocks without a window: a body that stops must release it, and
// a purchase whose probe stalled does not wait that long a second time
// (limits shortened here; the defaults are 15 s, 30 s and 30 s).
TEST_F(Purchase, StalledProbeGivesUp) {
    glyphoria::SetBlockingFetchLimits({15000, 500, 300});
    for (const char* type : {"text/html", "application/zip"}) {
        SCOPED_TRACE(type);
        ScriptedServer server(
            {ScriptedServer::Send(
                 ResponseHead("200 OK",
                              {std::string("Content-Type: ") + type, "Content-Length: 5000",
                               "Content-Disposition: filename=\"Stalled.zip\""}) +
                 "PK"),
             ScriptedServer::Pause(20000)});
        auto start = std::chrono::steady_clock::now();
        glyphoria::BuyOutcome outcome;
        const bool archive = std::string(type) == "application/zip";
        EXPECT_EQ(archive ? 1 : 0, DoBuy(server.url("/download").c_str(), &outcome));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(glyphoria::platform::NetFailure::kTimedOut, outcome.error.failure);
        EXPECT_EQ(1, server.connections());
    }
    glyphoria::SetBlockingFetchLimits(glyphoria::kDefaultBlockingFetchLimits);
    EXPECT_EQ(std::set<std::string>({"b1.htm"}), FilesIn(folder_));
    EXPECT_EQ(std::vector<std::string>({"Download error for 'Stalled.zip'!"}), messages_);
    EXPECT_EQ(std::vector<std::string>({"the server stopped answering (timed out)"}), details_);
}

}  // namespace
