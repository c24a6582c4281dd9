// DownloadUrl against loopback servers: the content and the bar, the zero slack,
// unknown lengths, cancel, broken and hostile answers.
#include "purchase/transfer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/progress.h"
#include "purchase/fetch_limits.h"
#include "support/string_table.h"
#include "tests/common/loopback_server.h"

namespace {

using glyphoria::DownloadUrl;
using glyphoria::platform::ProgressWindow;
using glyphoria::testing::LoopbackServer;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;
using Clock = std::chrono::steady_clock;

std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + (i * 13 + i / 97) % 26);
    return s;
}

// Takes the buffer: the content, then the 1000 zero bytes callers rely on.
void ExpectContentThenZeros(char* data, std::size_t size, const std::string& content) {
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(content.size(), size);
    EXPECT_TRUE(size == content.size() && std::memcmp(data, content.data(), size) == 0);
    for (std::size_t i = 0; i < 1000; ++i)
        ASSERT_EQ('\0', data[size + i]) << "slack byte " << i;
    std::free(data);
}

// Watches the window through the hook (distinct positions, title, range) and
// cancels once the condition holds.
struct WindowWatch {
    explicit WindowWatch(std::function<bool(const ProgressWindow&)> cancel = nullptr) {
        glyphoria::platform::SetProgressHook([this, cancel](ProgressWindow& w) {
            ++calls;
            title = w.title();
            range = w.range();
            if (positions.empty() || positions.back() != w.position())
                positions.push_back(w.position());
            if (cancel && cancel(w)) glyphoria::platform::CancelProgress();
        });
    }
    ~WindowWatch() { glyphoria::platform::SetProgressHook(nullptr); }
    int calls = 0;
    std::string title;
    std::uint64_t range = 0;
    std::vector<std::uint64_t> positions;
};

struct Transfer : ::testing::Test {
    void SetUp() override { glyphoria::LoadStrings(); }
    void Serve(const std::string& path, const std::string& content, bool chunked) {
        server.server().Get(path, [=](const httplib::Request&, httplib::Response& res) {
            if (!chunked) return res.set_content(content, "application/octet-stream");
            res.set_chunked_content_provider(
                "text/plain", [content](std::size_t offset, httplib::DataSink& sink) {
                    std::size_t n = std::min<std::size_t>(7000, content.size() - offset);
                    if (n) sink.write(content.data() + offset, n);
                    if (offset + n == content.size()) sink.done();
                    return true;
                });
        });
    }
    LoopbackServer server;
};

// The whole content, whatever the pieces; the bar has the total when one is
// announced and only moves forward, to the end. (Read sizes and what a tick
// reads: transfer_steps_test.cpp.)
TEST_F(Transfer, ContentAndBar) {
    struct Case {
        std::size_t size;
        bool chunked;
    } cases[] = {{20000, false}, {20001, false}, {0, false},      {0, true},
                 {1, true},      {150001, true}, {3000000, false}};
    for (const Case& c : cases) {
        std::string path = "/" + std::to_string(c.size) + (c.chunked ? "c" : "f");
        Serve(path, Pattern(c.size), c.chunked);
    }
    server.Start();
    for (const Case& c : cases) {
        std::string path = "/" + std::to_string(c.size) + (c.chunked ? "c" : "f");
        SCOPED_TRACE(path);
        WindowWatch watch;
        std::size_t size = 12345;
        char* data = DownloadUrl(server.url(path).c_str(), &size, "downloading");
        ExpectContentThenZeros(data, size, Pattern(c.size));
        EXPECT_EQ(c.chunked ? 0u : c.size, watch.range);
        EXPECT_EQ("Downloading…", watch.title);
        ASSERT_FALSE(watch.positions.empty());
        EXPECT_EQ(c.size, watch.positions.back());
        for (std::size_t i = 1; i < watch.positions.size(); ++i)
            EXPECT_LT(watch.positions[i - 1], watch.positions[i]);
    }
}

TEST_F(Transfer, ShortDocumentReadsAsAString) {
    const std::string config = "<config>" + std::string(283, 'x') + "</config>";
    Serve("/config.xml", config, false);
    server.Start();
    WindowWatch watch;
    std::size_t size = 0;
    char* data = DownloadUrl(server.url("/config.xml").c_str(), &size, "");
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(300u, std::strlen(data));
    EXPECT_EQ("", watch.title);  // an empty key gives an empty title
    ExpectContentThenZeros(data, size, config);
}

TEST_F(Transfer, EndOfConnectionEndsAnUnannouncedLength) {
    const std::string body = Pattern(30000);
    ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", {"Connection: close"})),
                           ScriptedServer::Send(body.substr(0, 10000)), ScriptedServer::Pause(30),
                           ScriptedServer::Send(body.substr(10000))});
    std::size_t size = 0;
    char* data = DownloadUrl(server.url("/").c_str(), &size, "");
    ExpectContentThenZeros(data, size, body);
}

// Each failure says why; an answer that is not 2xx is never read as
// content, and a server gone quiet ends the window by itself.
TEST_F(Transfer, FailuresReturnNoBufferAndSayWhy) {
    using F = glyphoria::platform::NetFailure;
    glyphoria::SetWindowedFetchLimits({15000, 30000, 300});
    struct Case {
        const char* name;
        std::string answer;
        F failure;
        int status;
        bool window;
    } cases[] = {
        {"dropped mid-body", ResponseHead("200 OK", {"Content-Length: 50000"}) + Pattern(30000),
         F::kBroken, 0, true},
        {"chunked, dropped inside a chunk",
         ResponseHead("200 OK", {"Transfer-Encoding: chunked"}) + "4\r\nabcd\r\n10\r\nab",
         F::kBroken, 0, true},
        {"length beyond 32 bits", ResponseHead("200 OK", {"Content-Length: 99999999999"}) + "x",
         F::kTooLarge, 0, true},
        {"length beyond what a transfer holds",
         ResponseHead("200 OK", {"Content-Length: 2147483647"}) + "x", F::kTooLarge, 0, true},
        {"not found", ResponseHead("404 Not Found", {"Content-Length: 9"}) + "not found",
         F::kHttpStatus, 404, false},
        {"server error with archive headers",
         ResponseHead("500 Internal Server Error",
                      {"Content-Type: application/zip", "Content-Length: 6"}) +
             "<html>",
         F::kHttpStatus, 500, false},
        {"no content", ResponseHead("304 Not Modified", {}), F::kHttpStatus, 304, false},
        {"quiet after a few bytes", ResponseHead("200 OK", {"Content-Length: 5000"}) + "first",
         F::kTimedOut, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Quiet: the connection stays open; otherwise it closes after the answer.
        const bool quiet = c.failure == F::kTimedOut;
        ScriptedServer server(
            {ScriptedServer::Send(c.answer), ScriptedServer::Pause(quiet ? 20000 : 40)});
        WindowWatch watch;
        std::size_t size = 777;
        glyphoria::platform::NetError error;
        Clock::time_point start = Clock::now();
        EXPECT_EQ(nullptr, DownloadUrl(server.url("/").c_str(), &size, "downloading", &error));
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(777u, size);
        EXPECT_EQ(c.failure, error.failure);
        EXPECT_EQ(c.status, error.status);
        EXPECT_EQ(c.window, watch.calls > 0);
    }
    glyphoria::SetWindowedFetchLimits(glyphoria::kDefaultWindowedFetchLimits);
    WindowWatch watch;
    glyphoria::platform::NetError error;
    EXPECT_EQ(nullptr, DownloadUrl("http://127.0.0.1:1/x", nullptr, "downloading", &error));
    EXPECT_EQ(F::kRefused, error.failure);
    EXPECT_EQ(0, watch.calls);  // nothing opened, no window
}

// Cancel while bytes flow: no buffer, and the connection is closed, which the
// server notices.
TEST_F(Transfer, CancelDuringReceive) {
    std::atomic<bool> client_gone{false};
    const std::string block(4000, 'q');
    server.server().Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(400000, "application/zip",
                                 [&](std::size_t, std::size_t, httplib::DataSink& sink) {
                                     std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                     if (!sink.write(block.data(), block.size()))
                                         client_gone = true;
                                     return !client_gone.load();
                                 });
    });
    server.Start();
    WindowWatch watch([](const ProgressWindow& w) { return w.position() >= 20000; });
    glyphoria::platform::NetError error;
    EXPECT_EQ(nullptr, DownloadUrl(server.url("/slow").c_str(), nullptr, "downloading", &error));
    EXPECT_EQ(glyphoria::platform::NetFailure::kCancelled, error.failure);
    EXPECT_LT(watch.positions.back(), 400000u);
    for (int i = 0; i < 200 && !client_gone; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(client_gone);
}

// A server gone quiet: the window still ticks and can be cancelled; before
// the window, opening is bounded by the response limit.
TEST_F(Transfer, StallsStayCancellable) {
    ScriptedServer stalled(
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 1000"}) + "first bytes"),
         ScriptedServer::Pause(20000)});
    int ticks = 0;
    {
        WindowWatch watch([&](const ProgressWindow&) { return ++ticks > 30; });
        Clock::time_point start = Clock::now();
        EXPECT_EQ(nullptr, DownloadUrl(stalled.url("/").c_str(), nullptr, "downloading"));
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    }
    ScriptedServer silent({ScriptedServer::Pause(20000)});
    glyphoria::SetWindowedFetchLimits({15000, 300, 0});
    Clock::time_point start = Clock::now();
    EXPECT_EQ(nullptr, DownloadUrl(silent.url("/").c_str(), nullptr, "downloading"));
    glyphoria::SetWindowedFetchLimits(glyphoria::kDefaultWindowedFetchLimits);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
