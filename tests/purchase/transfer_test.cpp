// DownloadUrl against loopback servers: piece sizes per tick, the zero slack,
// unknown lengths, https, cancel, broken and hostile answers.
#include "purchase/transfer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

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
using glyphoria::testing::SelfSignedCertificate;

std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + (i * 13 + i / 97) % 26);
    return s;
}

// The buffer's content, then the 1000 zero bytes the caller may rely on.
void ExpectContentThenZeros(const char* data, std::size_t size, const std::string& content) {
    ASSERT_NE(nullptr, data);
    ASSERT_EQ(content.size(), size);
    EXPECT_TRUE(std::memcmp(data, content.data(), size) == 0);
    for (std::size_t i = 0; i < 1000; ++i)
        ASSERT_EQ('\0', data[size + i]) << "slack byte " << i;
}

// Watches the window through the hook: positions after each tick, and the
// window's title and range; may cancel once a condition holds.
class WindowWatch {
  public:
    using Cancel = std::function<bool(const ProgressWindow&)>;
    explicit WindowWatch(Cancel cancel = nullptr) : cancel_(std::move(cancel)) {
        glyphoria::platform::SetProgressHook([this](ProgressWindow& w) {
            ++calls;
            title = w.title();
            range = w.range();
            if (positions.empty() || positions.back() != w.position())
                positions.push_back(w.position());
            if (cancel_ && !w.ended() && cancel_(w)) glyphoria::platform::CancelProgress();
        });
    }
    ~WindowWatch() { glyphoria::platform::SetProgressHook(nullptr); }

    int calls = 0;
    std::string title;
    std::uint64_t range = 0;
    std::vector<std::uint64_t> positions;

  private:
    Cancel cancel_;
};

class Transfer : public ::testing::Test {
  protected:
    void SetUp() override { glyphoria::LoadStrings(); }

    // Serves each document of the table at its own path with its length.
    void ServeFixed(const std::string& path, const std::string& content,
                    const char* type = "application/octet-stream") {
        server_.server().Get(path,
                             [content, type](const httplib::Request&, httplib::Response& res) {
                                 res.set_content(content, type);
                             });
    }
    void ServeChunked(const std::string& path, const std::string& content) {
        server_.server().Get(path, [content](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(
                "text/plain", [content](std::size_t offset, httplib::DataSink& sink) {
                    std::size_t n = std::min<std::size_t>(7000, content.size() - offset);
                    if (n) sink.write(content.data() + offset, n);
                    if (offset + n == content.size()) sink.done();
                    return true;
                });
        });
    }

    LoopbackServer server_;
};

// The 20000-byte cap per tick: each read asks for at most that much and the
// bar follows what arrived.
TEST_F(Transfer, PiecesOfAtMost20000BytesPerTick) {
    struct Case {
        std::size_t size;
        std::vector<std::uint64_t> positions;
    } cases[] = {
        {20000, {0, 20000}},
        {20001, {0, 20000, 20001}},
        {45000, {0, 20000, 40000, 45000}},
    };
    for (const Case& c : cases)
        ServeFixed("/doc" + std::to_string(c.size), Pattern(c.size));
    server_.Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        WindowWatch watch;
        std::size_t size = 0;
        char* data =
            DownloadUrl(server_.url("/doc" + std::to_string(c.size)).c_str(), &size, "downloading");
        ExpectContentThenZeros(data, size, Pattern(c.size));
        std::free(data);
        EXPECT_EQ(c.positions, watch.positions);
        EXPECT_EQ(c.size, watch.range);
        EXPECT_EQ("Downloading…", watch.title);
    }
}

TEST_F(Transfer, ShortDocumentReadsAsAString) {
    const std::string config = "<config>" + std::string(283, 'x') + "</config>";
    ASSERT_EQ(300u, config.size());
    ServeFixed("/config.xml", config, "text/xml");
    server_.Start();
    WindowWatch watch;
    std::size_t size = 0;
    char* data = DownloadUrl(server_.url("/config.xml").c_str(), &size, "");
    ExpectContentThenZeros(data, size, config);
    EXPECT_EQ(300u, std::strlen(data));
    EXPECT_EQ("", watch.title);  // an empty key gives an empty title
    std::free(data);
}

// No announced length: read to the end of the stream, the bar without a total.
TEST_F(Transfer, UnknownLengthIsReadToTheEnd) {
    const std::size_t sizes[] = {0, 1, 20000, 150001};
    for (std::size_t n : sizes)
        ServeChunked("/chunked" + std::to_string(n), Pattern(n));
    server_.Start();
    for (std::size_t n : sizes) {
        SCOPED_TRACE(n);
        WindowWatch watch;
        std::size_t size = 12345;
        char* data =
            DownloadUrl(server_.url("/chunked" + std::to_string(n)).c_str(), &size, "downloading");
        ExpectContentThenZeros(data, size, Pattern(n));
        std::free(data);
        EXPECT_EQ(0u, watch.range);
        for (std::size_t i = 1; i < watch.positions.size(); ++i)
            EXPECT_LE(watch.positions[i] - watch.positions[i - 1], 20000u);
    }
}

TEST_F(Transfer, AnswersWithoutALengthEndWithTheConnection) {
    const std::string body = Pattern(30000);
    ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", {"Connection: close"})),
                           ScriptedServer::Send(body.substr(0, 10000)), ScriptedServer::Pause(30),
                           ScriptedServer::Send(body.substr(10000)), ScriptedServer::Close()});
    std::size_t size = 0;
    char* data = DownloadUrl(server.url("/").c_str(), &size, "downloading");
    ExpectContentThenZeros(data, size, body);
    std::free(data);
}

TEST_F(Transfer, EmptyDocumentIsNotAWait) {
    ServeFixed("/empty", "");
    server_.Start();
    std::size_t size = 99;
    char* data = DownloadUrl(server_.url("/empty").c_str(), &size, "downloading");
    ExpectContentThenZeros(data, size, "");
    std::free(data);
}

TEST_F(Transfer, HttpsWithoutLength) {
    SelfSignedCertificate certificate;
    LoopbackServer secure(certificate);
    const std::string body = Pattern(64000);
    secure.server().Get("/a.zip", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("application/zip",
                                         [&](std::size_t offset, httplib::DataSink& sink) {
                                             sink.write(body.data() + offset, 16000);
                                             if (offset + 16000 == body.size()) sink.done();
                                             return true;
                                         });
    });
    secure.Start();
    glyphoria::platform::SetTrustedCaFile(certificate.cert_file().c_str());
    std::size_t size = 0;
    char* data = DownloadUrl(secure.url("/a.zip").c_str(), &size, "downloading");
    glyphoria::platform::SetTrustedCaFile(nullptr);
    ExpectContentThenZeros(data, size, body);
    std::free(data);
}

// HTTP status codes are not looked at: an error page with a length is content.
TEST_F(Transfer, ErrorPageIsContent) {
    server_.server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("no such page", "text/html");
    });
    server_.Start();
    std::size_t size = 0;
    char* data = DownloadUrl(server_.url("/missing").c_str(), &size, "");
    ExpectContentThenZeros(data, size, "no such page");
    std::free(data);
}

TEST_F(Transfer, FailuresReturnNoBuffer) {
    struct Case {
        const char* name;
        std::vector<ScriptedServer::Step> script;
    } cases[] = {
        {"connection dropped mid-body",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 50000"}) +
                               std::string(30000, 'z')),
          ScriptedServer::Close()}},
        {"shorter than announced, then a clean close",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 300"}) + "tiny"),
          ScriptedServer::Pause(20), ScriptedServer::Close()}},
        {"chunked, dropped inside a chunk",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Transfer-Encoding: chunked"}) +
                               "4\r\nabcd\r\n10\r\nab"),
          ScriptedServer::Close()}},
        {"length beyond 32 bits",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 99999999999"}) + "x"),
          ScriptedServer::Pause(5000)}},
        {"length just beyond what a transfer holds",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 2147483647"}) + "x"),
          ScriptedServer::Pause(5000)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(c.script);
        std::size_t size = 777;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(nullptr, DownloadUrl(server.url("/").c_str(), &size, "downloading"));
        EXPECT_EQ(777u, size);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    }
}

TEST_F(Transfer, UnreachableShowsNoWindow) {
    WindowWatch watch;
    EXPECT_EQ(nullptr, DownloadUrl("http://127.0.0.1:1/x", nullptr, "downloading"));
    EXPECT_EQ(nullptr, DownloadUrl("", nullptr, "downloading"));
    EXPECT_EQ(0, watch.calls);
}

// Cancel while bytes flow and while the server has gone quiet: no buffer, and
// the connection is closed, which the server notices.
TEST_F(Transfer, CancelDuringReceive) {
    std::atomic<bool> client_gone{false};
    const std::string block(4000, 'q');
    server_.server().Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(400000, "application/zip",
                                 [&](std::size_t, std::size_t, httplib::DataSink& sink) {
                                     std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                     if (!sink.write(block.data(), block.size()))
                                         client_gone = true;
                                     return !client_gone.load();
                                 });
    });
    server_.Start();
    WindowWatch watch([](const ProgressWindow& w) { return w.position() >= 20000; });
    EXPECT_EQ(nullptr, DownloadUrl(server_.url("/slow").c_str(), nullptr, "downloading"));
    EXPECT_GE(watch.positions.back(), 20000u);
    EXPECT_LT(watch.positions.back(), 400000u);
    for (int i = 0; i < 200 && !client_gone; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(client_gone);
}

TEST_F(Transfer, CancelWhileStalled) {
    ScriptedServer server(
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 1000"}) + "first bytes"),
         ScriptedServer::Pause(20000)});
    int quiet_ticks = 0;
    WindowWatch watch([&](const ProgressWindow&) { return ++quiet_ticks > 30; });
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(nullptr, DownloadUrl(server.url("/").c_str(), nullptr, "downloading"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

// Opening happens before the window: a server that never answers runs into
// the response limit instead of hanging the interface.
TEST_F(Transfer, OpeningIsBounded) {
    ScriptedServer silent({ScriptedServer::Pause(20000)});
    glyphoria::platform::NetLimits quick = glyphoria::kDefaultWindowedFetchLimits;
    quick.response_timeout_ms = 300;
    glyphoria::SetWindowedFetchLimits(quick);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(nullptr, DownloadUrl(silent.url("/").c_str(), nullptr, "downloading"));
    glyphoria::SetWindowedFetchLimits(glyphoria::kDefaultWindowedFetchLimits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(SchemeKind, PrefixDecides) {
    struct Case {
        const char* address;
        int kind;
    } cases[] = {
        {"ftp://host/f", glyphoria::kSchemeFtp},   {"http://host/", glyphoria::kSchemeHttp},
        {"https://host/", glyphoria::kSchemeHttp}, {"HTTP://host/", glyphoria::kSchemeOther},
        {"file:///x", glyphoria::kSchemeOther},    {"", glyphoria::kSchemeOther},
        {nullptr, glyphoria::kSchemeOther},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address ? c.address : "(null)");
        EXPECT_EQ(c.kind, glyphoria::SchemeKindOf(c.address));
    }
}

}  // namespace
