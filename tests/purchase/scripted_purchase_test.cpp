// The transfer and the purchase download against scripted servers only, so
// that they run on every platform (the Windows build has no cpp-httplib):
// the windowed fetch with and without a length, a body cut short, a stalled
// server cancelled from the window, and a bought archive saved or refused.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "platform/progress.h"
#include "purchase/fetch_limits.h"
#include "purchase/purchase_download.h"
#include "purchase/transfer.h"
#include "support/messages.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#include "tests/common/loopback_server.h"
#include "tests/common/test_env.h"

#ifdef _WIN32
#include "platform/win32/windows_api.h"
#endif

namespace {

using glyphoria::platform::ProgressWindow;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;
using Clock = std::chrono::steady_clock;

std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + (i * 7 + i / 31) % 26);
    return s;
}

std::string Chunked(const std::string& body, std::size_t piece) {
    std::string out;
    for (std::size_t at = 0; at < body.size(); at += piece) {
        std::string part = body.substr(at, piece);
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", part.size());
        out += size + part + "\r\n";
    }
    return out + "0\r\n\r\n";
}

struct ScriptedTransfer : ::testing::Test {
    void SetUp() override { glyphoria::LoadStrings(); }
    void TearDown() override { glyphoria::platform::SetProgressHook(nullptr); }
};

// The content whole, then the zero slack; the bar's range is the announced
// length, or 0 without one.
TEST_F(ScriptedTransfer, WithAndWithoutALength) {
    const std::string content = Pattern(70000);
    struct Case {
        const char* name;
        std::string answer;
        std::uint64_t range;
    } cases[] = {
        {"length", ResponseHead("200 OK", {"Content-Length: 70000"}) + content, 70000},
        {"chunked", ResponseHead("200 OK", {"Transfer-Encoding: chunked"}) + Chunked(content, 9000),
         0},
        {"until close", ResponseHead("200 OK", {"Connection: close"}) + content, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server({ScriptedServer::Send(c.answer), ScriptedServer::Close()});
        std::uint64_t range = 1;
        glyphoria::platform::SetProgressHook([&](ProgressWindow& w) { range = w.range(); });
        std::size_t size = 0;
        char* data = glyphoria::DownloadUrl(server.url("/").c_str(), &size, "loading");
        ASSERT_NE(nullptr, data);
        EXPECT_EQ(content.size(), size);
        EXPECT_TRUE(size == content.size() && std::memcmp(data, content.data(), size) == 0);
        EXPECT_EQ(std::string(1000, '\0'), std::string(data + size, 1000));
        EXPECT_EQ(c.range, range);
        std::free(data);
    }
}

// A form of the progress window that keeps the interval the transfer asks
// its timer for, and runs the ticks one after another.
struct RecordingForm {
    class Window : public ProgressWindow {
      public:
        void SetTitle(const char* text) override { title_ = text ? text : ""; }
        void SetRange(std::uint64_t high) override { range_ = high; }
        void SetPosition(std::uint64_t position) override { position_ = position; }
        void StartTimer(unsigned interval_ms) override { interval = interval_ms; }
        void End(int result) override {
            if (!ended_) result_ = result;
            ended_ = true;
        }
        const std::string& title() const override { return title_; }
        std::uint64_t range() const override { return range_; }
        std::uint64_t position() const override { return position_; }
        bool ended() const override { return ended_; }
        int result() const { return result_; }

      private:
        std::string title_;
        std::uint64_t range_ = 0, position_ = 0;
        bool ended_ = false;
        int result_ = glyphoria::platform::kProgressFailed;
    };
    static int Run(const glyphoria::platform::ProgressProc& start,
                   const glyphoria::platform::ProgressProc& tick) {
        Window window;
        start(window);
        const Clock::time_point give_up = Clock::now() + std::chrono::seconds(10);
        while (!window.ended() && interval > 0 && Clock::now() < give_up) {
            tick(window);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return window.result();
    }
    static void Cancel() {}
    static unsigned interval;
};
unsigned RecordingForm::interval = 0;

// The transfer asks the window's timer for a tick every 10 ms, as it says.
TEST_F(ScriptedTransfer, TheWindowTicksEveryTenMilliseconds) {
    const std::string content = Pattern(45000);
    ScriptedServer server(
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 45000"}) + content),
         ScriptedServer::Close()});
    static const glyphoria::platform::ProgressForm kForm = {&RecordingForm::Run,
                                                            &RecordingForm::Cancel};
    RecordingForm::interval = 0;
    const auto* before = glyphoria::platform::SetProgressForm(&kForm);
    std::size_t size = 0;
    char* data = glyphoria::DownloadUrl(server.url("/").c_str(), &size, "loading");
    glyphoria::platform::SetProgressForm(before);
    EXPECT_EQ(10u, RecordingForm::interval);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(content, std::string(data, size));
    std::free(data);
}

TEST_F(ScriptedTransfer, ShortBodyGivesNoBuffer) {
    ScriptedServer server(
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 5000"}) + "partial"),
         ScriptedServer::Close()});
    std::size_t size = 99;
    EXPECT_EQ(nullptr, glyphoria::DownloadUrl(server.url("/").c_str(), &size, "loading"));
}

// A server that stops sending keeps the window responsive: the user's cancel
// ends the fetch at once.
TEST_F(ScriptedTransfer, StallIsCancellable) {
    ScriptedServer server(
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 5000"}) + "start"),
         ScriptedServer::Pause(20000)});
    int calls = 0;
    glyphoria::platform::SetProgressHook([&](ProgressWindow&) {
        if (++calls == 30) glyphoria::platform::CancelProgress();
    });
    Clock::time_point start = Clock::now();
    std::size_t size = 0;
    EXPECT_EQ(nullptr, glyphoria::DownloadUrl(server.url("/").c_str(), &size, "loading"));
    EXPECT_GE(calls, 30);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
}

#ifdef _WIN32
// The dialog's own cancel button (control 2), clicked while bytes are due:
// the dialog ends and the transfer returns no buffer.
TEST_F(ScriptedTransfer, CancelButtonOfTheDialogGivesNoBuffer) {
    ScriptedServer server(
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 5000"}) + "start"),
         ScriptedServer::Pause(20000)});
    int calls = 0;
    bool clicked = false;
    std::uint64_t range = 0;
    glyphoria::platform::SetProgressHook([&](ProgressWindow& w) {
        range = w.range();
        if (++calls < 5 || clicked) return;
        HWND button = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM out) -> BOOL {
                EnumChildWindows(
                    window,
                    [](HWND child, LPARAM out) -> BOOL {
                        if (GetDlgCtrlID(child) != IDCANCEL) return TRUE;
                        *reinterpret_cast<HWND*>(out) = child;
                        return FALSE;
                    },
                    out);
                return *reinterpret_cast<HWND*>(out) == nullptr;
            },
            reinterpret_cast<LPARAM>(&button));
        if (!button) return;
        clicked = true;
        PostMessageW(button, BM_CLICK, 0, 0);
    });
    Clock::time_point start = Clock::now();
    std::size_t size = 7;
    EXPECT_EQ(nullptr, glyphoria::DownloadUrl(server.url("/").c_str(), &size, "loading"));
    EXPECT_TRUE(clicked);
    EXPECT_EQ(5000u, range);  // the transfer was receiving when it was cancelled
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
}
#endif

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder)))
        names.insert(entry.path().filename().u8string());
    return names;
}

// A bought archive lands in the download folder under the server's name; a
// name that would leave the folder is refused before anything is fetched.
struct ScriptedPurchase : ::testing::Test {
    void SetUp() override {
        glyphoria::LoadStrings();
        ASSERT_EQ(0, glyphoria::Prefs().Load(dir.file("prefs.ini").c_str()));
        std::filesystem::create_directory(std::filesystem::u8path(folder));
        ASSERT_EQ(0, glyphoria::Prefs().SetString("General", "downloadFolder", folder.c_str()));
        glyphoria::SetMessageBoxHook([this](const glyphoria::ShownMessage& box) {
            messages.push_back(box.text);
            return 1;
        });
    }
    void TearDown() override { glyphoria::SetMessageBoxHook(glyphoria::MessageBoxHook()); }

    glyphoria::testing::TempDir dir;
    std::string folder = dir.file("downloads");
    std::vector<std::string> messages;
};

TEST_F(ScriptedPurchase, ArchiveSavedUnderItsName) {
    const std::string archive = "PK\x03\x04" + Pattern(30000);
    ScriptedServer server({ScriptedServer::Send(
        ResponseHead("200 OK", {"Content-Type: application/zip", "Content-Length: 30004",
                                "Content-Disposition: attachment; filename=\"Order7.zip\""}) +
        archive)});
    EXPECT_EQ(1, glyphoria::DoBuy(server.url("/download/7").c_str()));
    EXPECT_EQ(2, server.connections());  // the probe, then the fetch
    EXPECT_TRUE(ReadFileBytes(dir.file("downloads/Order7.zip")) == archive);
    EXPECT_EQ(std::set<std::string>({"Order7.zip", "b1.htm"}), FilesIn(folder));
    EXPECT_TRUE(messages.empty());
    // Bought again: beside the first, never over it.
    EXPECT_EQ(1, glyphoria::DoBuy(server.url("/download/7").c_str()));
    EXPECT_TRUE(ReadFileBytes(dir.file("downloads/Order7 (2).zip")) == archive);
    EXPECT_EQ(std::set<std::string>({"Order7.zip", "Order7 (2).zip", "b1.htm"}), FilesIn(folder));
    EXPECT_EQ(std::vector<std::string>({"'Order7.zip' is already in the download folder: the "
                                        "archive was saved as 'Order7 (2).zip'."}),
              messages);
}

// An error status under archive headers is no archive: not taken over, and
// nothing is kept, not even the probe's copy.
TEST_F(ScriptedPurchase, ErrorStatusIsNoArchive) {
    ScriptedServer server({ScriptedServer::Send(
        ResponseHead("500 Internal Server Error",
                     {"Content-Type: application/zip", "Content-Length: 6",
                      "Content-Disposition: attachment; filename=\"Order7.zip\""}) +
        "<html>")});
    glyphoria::BuyOutcome outcome;
    EXPECT_EQ(0, glyphoria::DoBuy(server.url("/download/7").c_str(), &outcome));
    EXPECT_EQ(glyphoria::platform::NetFailure::kHttpStatus, outcome.error.failure);
    EXPECT_EQ(500, outcome.error.status);
    EXPECT_TRUE(FilesIn(folder).empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(ScriptedPurchase, HostileNamesAreRefused) {
    for (const char* name :
         {"..\\evil.zip", "../evil.zip", "C:evil.zip", "a:stream.zip", "CON", "nul.zip", "COM1.zip",
          "LPT9", "Fonts.zip.", "Fonts.zip ", " ", ".hidden.zip", "a?.zip"}) {
        SCOPED_TRACE(name);
        ScriptedServer server({ScriptedServer::Send(
            ResponseHead("200 OK", {"Content-Type: application/zip", "Content-Length: 2",
                                    std::string("Content-Disposition: attachment; filename=\"") +
                                        name + "\""}) +
            "PK")});
        EXPECT_EQ(0, glyphoria::DoBuy(server.url("/download/x").c_str()));
        EXPECT_EQ(1, server.connections());  // probed, never fetched
    }
    for (const std::string& name : FilesIn(folder))
        EXPECT_EQ("b1.htm", name);  // the probe's copy only
    EXPECT_EQ(0u, FilesIn(dir.path()).count("evil.zip"));
}

}  // namespace
