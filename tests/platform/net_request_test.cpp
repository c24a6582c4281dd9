// Requests through the Internet seam against servers on the loopback address:
// headers, lengths, reads that lose nothing, broken and stalled answers,
// redirects and certificates.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/net.h"
#include "tests/common/loopback_server.h"

namespace {

using glyphoria::platform::ContentLength;
using glyphoria::platform::kNetData;
using glyphoria::platform::kNetEnd;
using glyphoria::platform::kNetFailed;
using glyphoria::platform::kNetPending;
using glyphoria::platform::NetLimits;
using glyphoria::platform::NetRead;
using glyphoria::platform::OpenAddress;
using glyphoria::platform::OpenSession;
using glyphoria::platform::RequestHandle;
using glyphoria::platform::SessionHandle;
using glyphoria::testing::LoopbackServer;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;
using glyphoria::testing::SelfSignedCertificate;

using Clock = std::chrono::steady_clock;

std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return s;
}

// Everything the request delivers, read in pieces of at most piece bytes the
// way a ticking reader does; fails the test on a read error.
NetRead DrainInPieces(glyphoria::platform::InternetRequest* request, std::size_t piece,
                      std::string* out) {
    std::string buf(piece, '\0');
    for (int spins = 0; spins < 200000; ++spins) {
        std::size_t got = 0;
        NetRead read = glyphoria::platform::ReadAvailable(request, buf.data(), piece, &got);
        EXPECT_LE(got, piece);
        if (read == kNetData) out->append(buf.data(), got);
        if (read == kNetEnd || read == kNetFailed) return read;
        if (read == kNetPending) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return kNetFailed;
}

struct Fixture : ::testing::Test {
    SessionHandle session = OpenSession(nullptr);
};

using NetRequest = Fixture;

TEST_F(NetRequest, ContentLengthRules) {
    struct Case {
        const char* name;
        std::vector<std::string> headers;
        std::string body;
        bool known;
        std::uint64_t bytes;
    } cases[] = {
        {"plain", {"Content-Length: 5"}, "hello", true, 5},
        {"zero", {"Content-Length: 0"}, "", true, 0},
        {"repeated, same value", {"Content-Length: 5", "Content-Length: 5"}, "hello", true, 5},
        {"chunked", {"Transfer-Encoding: chunked"}, "5\r\nhello\r\n0\r\n\r\n", false, 0},
        {"none, ends with the connection", {"Connection: close"}, "hello", false, 0},
        {"beyond 64 bits",
         {"Content-Length: 99999999999999999999999", "Connection: close"},
         "hello",
         false,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", c.headers) + c.body)});
        RequestHandle request = OpenAddress(session.get(), server.url("/x").c_str());
        ASSERT_TRUE(request);
        ContentLength length = glyphoria::platform::QueryContentLength(request.get());
        EXPECT_EQ(c.known, length.known);
        EXPECT_EQ(c.bytes, length.bytes);
    }
}

// Lengths no server should send: whatever the seam makes of them, it never
// announces a number that did not come from the server as one.
TEST_F(NetRequest, HostileLengthsAreNeverANumber) {
    const std::vector<std::string> hostile[] = {
        {"Content-Length: abc"}, {"Content-Length: -5"}, {"Content-Length: 5", "Content-Length: 7"},
        {"Content-Length: 5x"},  {"Content-Length: +5"},
    };
    for (const auto& headers : hostile) {
        SCOPED_TRACE(headers[0]);
        ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", headers) + "hello"),
                               ScriptedServer::Close()});
        RequestHandle request = OpenAddress(session.get(), server.url("/x").c_str());
        if (!request) continue;  // refused outright: also sound
        EXPECT_FALSE(glyphoria::platform::QueryContentLength(request.get()).known);
    }
}

TEST_F(NetRequest, HeadersOfTheFinalResponse) {
    LoopbackServer server;
    server.server().Get(
        "/old", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/new"); });
    server.server().Get("/new", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Content-Disposition", "attachment; filename=\"a.zip\"");
        res.set_content("zip", "application/zip; charset=binary");
    });
    server.Start();
    RequestHandle request = OpenAddress(session.get(), server.url("/old").c_str());
    ASSERT_TRUE(request);
    char buf[64];
    ASSERT_TRUE(glyphoria::platform::QueryContentType(request.get(), buf, sizeof buf));
    EXPECT_STREQ("application/zip; charset=binary", buf);
    ASSERT_TRUE(
        glyphoria::platform::QueryHeader(request.get(), "content-disposition", buf, sizeof buf));
    EXPECT_STREQ("attachment; filename=\"a.zip\"", buf);
    EXPECT_FALSE(glyphoria::platform::QueryHeader(request.get(), "X-Missing", buf, sizeof buf));
    // A value is never cut to fit: the caller would act on half a name.
    char small[8];
    EXPECT_FALSE(glyphoria::platform::QueryHeader(request.get(), "Content-Disposition", small,
                                                  sizeof small));
    std::string body;
    EXPECT_EQ(kNetEnd, DrainInPieces(request.get(), 100, &body));
    EXPECT_EQ("zip", body);
}

TEST_F(NetRequest, AgentNameIsSentOnlyWhenGiven) {
    struct Case {
        const char* agent;
        bool sent;
    } cases[] = {{"Kwen", true}, {nullptr, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.agent ? c.agent : "(none)");
        ScriptedServer server(
            {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 0"}))});
        SessionHandle own = OpenSession(c.agent);
        RequestHandle request = OpenAddress(own.get(), server.url("/").c_str());
        ASSERT_TRUE(request);
        std::string head = server.last_request();
        EXPECT_EQ(c.sent, head.find("User-Agent: Kwen\r\n") != std::string::npos) << head;
        if (!c.sent) {
            EXPECT_EQ(std::string::npos, head.find("User-Agent:")) << head;
        }
    }
}

// Large answers read in 20000-byte pieces by a reader slower than the
// network: the pending bytes pause the transfer and every byte arrives once.
TEST_F(NetRequest, SlowReaderLosesNothing) {
    const std::string content = Pattern(5 * 1000 * 1000 + 17);
    LoopbackServer server;
    server.server().Get("/fixed", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(content, "application/octet-stream");
    });
    server.server().Get("/chunked", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider(
            "application/octet-stream", [&](std::size_t offset, httplib::DataSink& sink) {
                std::size_t n = std::min<std::size_t>(70000, content.size() - offset);
                sink.write(content.data() + offset, n);
                if (offset + n == content.size()) sink.done();
                return true;
            });
    });
    server.Start();
    for (const char* path : {"/fixed", "/chunked"}) {
        SCOPED_TRACE(path);
        RequestHandle request = OpenAddress(session.get(), server.url(path).c_str());
        ASSERT_TRUE(request);
        // Let far more than the pause threshold pile up before reading.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::string body;
        EXPECT_EQ(kNetEnd, DrainInPieces(request.get(), 20000, &body));
        EXPECT_TRUE(body == content) << body.size() << " bytes";
    }
}

TEST_F(NetRequest, BrokenAnswersFailAfterTheirBytes) {
    struct Case {
        const char* name;
        std::string answer;
        std::string delivered;
    } cases[] = {
        {"shorter than announced", ResponseHead("200 OK", {"Content-Length: 1000"}) + "only this",
         "only this"},
        {"chunked, cut inside a chunk",
         ResponseHead("200 OK", {"Transfer-Encoding: chunked"}) + "5\r\nhello\r\n20\r\nabc",
         "helloabc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(
            {ScriptedServer::Send(c.answer), ScriptedServer::Pause(50), ScriptedServer::Close()});
        RequestHandle request = OpenAddress(session.get(), server.url("/").c_str());
        ASSERT_TRUE(request);
        std::string body;
        EXPECT_EQ(kNetFailed, DrainInPieces(request.get(), 20000, &body));
        EXPECT_EQ(c.delivered, body);
    }
}

TEST_F(NetRequest, ReadBlockingFillsOrEnds) {
    ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 10"})),
                           ScriptedServer::Pause(30), ScriptedServer::Send("01234"),
                           ScriptedServer::Pause(30), ScriptedServer::Send("56789")});
    RequestHandle request = OpenAddress(session.get(), server.url("/").c_str());
    ASSERT_TRUE(request);
    char buf[16] = {};
    std::size_t got = 0;
    EXPECT_EQ(kNetData, glyphoria::platform::ReadBlocking(request.get(), buf, 7, &got));
    EXPECT_EQ(7u, got);
    EXPECT_EQ(kNetEnd, glyphoria::platform::ReadBlocking(request.get(), buf + 7, 9, &got));
    EXPECT_EQ(3u, got);
    EXPECT_STREQ("0123456789", buf);
}

TEST_F(NetRequest, UnreachableAndMalformedAddressesDoNotOpen) {
    int closed_port;
    {
        ScriptedServer gone({});
        closed_port = gone.port();
    }
    const std::string addresses[] = {
        "http://127.0.0.1:" + std::to_string(closed_port) + "/",
        "not an address",
        "file:///etc/passwd",
        "",
    };
    for (const std::string& address : addresses) {
        SCOPED_TRACE(address);
        EXPECT_FALSE(OpenAddress(session.get(), address.c_str()));
    }
    EXPECT_FALSE(OpenAddress(nullptr, "http://127.0.0.1/"));
}

TEST_F(NetRequest, RedirectRules) {
    LoopbackServer server;
    server.server().Get(R"(/hop/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        int left = std::stoi(req.matches[1]);
        if (left == 0)
            res.set_content("arrived", "text/plain");
        else
            res.set_redirect("/hop/" + std::to_string(left - 1));
    });
    server.server().Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("file:///etc/passwd");
    });
    server.server().Get("/to-ftp", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("ftp://127.0.0.1/x");
    });
    server.Start();
    struct Case {
        const char* path;
        bool opens;
    } cases[] = {
        {"/hop/10", true},  // exactly the cap
        {"/hop/11", false},
        {"/to-file", false},
        {"/to-ftp", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        RequestHandle request = OpenAddress(session.get(), server.url(c.path).c_str());
        EXPECT_EQ(c.opens, static_cast<bool>(request));
        if (!request) continue;
        std::string body;
        EXPECT_EQ(kNetEnd, DrainInPieces(request.get(), 100, &body));
        EXPECT_EQ("arrived", body);
    }
}

TEST_F(NetRequest, HttpsNeedsATrustedCertificate) {
    SelfSignedCertificate certificate;
    LoopbackServer server(certificate);
    server.server().Get("/doc", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [](std::size_t, httplib::DataSink& sink) {
            sink.write("secure ", 7);
            sink.write("content", 7);
            sink.done();
            return true;
        });
    });
    server.Start();
    const std::string address = server.url("/doc");

    glyphoria::platform::SetTrustedCaFile(nullptr);
    EXPECT_FALSE(OpenAddress(session.get(), address.c_str()));

    glyphoria::platform::SetTrustedCaFile(certificate.cert_file().c_str());
    RequestHandle request = OpenAddress(session.get(), address.c_str());
    glyphoria::platform::SetTrustedCaFile(nullptr);
    ASSERT_TRUE(request);
    EXPECT_FALSE(glyphoria::platform::QueryContentLength(request.get()).known);
    std::string body;
    EXPECT_EQ(kNetEnd, DrainInPieces(request.get(), 20000, &body));
    EXPECT_EQ("secure content", body);
}

// A server that accepts and never answers, or stops in the middle: the
// limits turn the wait into a failure instead of a hang.
TEST_F(NetRequest, LimitsEndStalledRequests) {
    ScriptedServer silent({ScriptedServer::Pause(10000)});
    NetLimits response_limit;
    response_limit.response_timeout_ms = 300;
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(OpenAddress(session.get(), silent.url("/").c_str(), response_limit));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));

    ScriptedServer stalling(
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 100"}) + "partial"),
         ScriptedServer::Pause(10000)});
    NetLimits low_speed;
    // Well above what trickled in, so the rate average falls below it at once.
    low_speed.low_speed_bytes = 1000;
    low_speed.low_speed_seconds = 1;
    RequestHandle request = OpenAddress(session.get(), stalling.url("/").c_str(), low_speed);
    ASSERT_TRUE(request);
    char buf[100];
    std::size_t got = 0;
    start = Clock::now();
    EXPECT_EQ(kNetFailed, glyphoria::platform::ReadBlocking(request.get(), buf, sizeof buf, &got));
    EXPECT_EQ(7u, got);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

// Without limits a stalled request never blocks a reader: each read answers
// at once, so a ticking window stays responsive and cancellable.
TEST_F(NetRequest, ReadAvailableNeverWaits) {
    ScriptedServer stalling({ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 100"})),
                             ScriptedServer::Pause(10000)});
    RequestHandle request = OpenAddress(session.get(), stalling.url("/").c_str());
    ASSERT_TRUE(request);
    char buf[100];
    std::size_t got = 0;
    Clock::time_point start = Clock::now();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(kNetPending, glyphoria::platform::ReadAvailable(request.get(), buf, 100, &got));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
}

}  // namespace
