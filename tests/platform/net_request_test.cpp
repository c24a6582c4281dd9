// Requests through the Internet seam against loopback servers: lengths,
// headers, reads that lose nothing, redirects. (Broken, stalled and https
// answers are tested through the transfer, the probe and the fetch tool.)
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/net.h"
#include "tests/common/loopback_server.h"

namespace {

namespace net = glyphoria::platform;
using glyphoria::testing::LoopbackServer;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;

// Reads everything in pieces of at most piece bytes, as a ticking reader does.
net::NetRead Drain(net::InternetRequest* request, std::size_t piece, std::string* out) {
    std::string buf(piece, '\0');
    for (int spins = 0; spins < 200000; ++spins) {
        std::size_t got = 0;
        net::NetRead read = net::ReadAvailable(request, buf.data(), piece, &got);
        out->append(buf.data(), got);
        if (read == net::kNetEnd || read == net::kNetFailed) return read;
        if (read == net::kNetPending) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return net::kNetFailed;
}

struct NetRequest : ::testing::Test {
    net::SessionHandle session = net::OpenSession(nullptr);
    net::RequestHandle Open(const std::string& url, const net::NetLimits& limits = {}) {
        return net::OpenAddress(session.get(), url.c_str(), limits);
    }
};

// A length is announced only when the server sent one plain number; hostile
// values may also make the open fail, but never become a number.
TEST_F(NetRequest, ContentLength) {
    struct Case {
        std::vector<std::string> headers;
        bool known;
        std::uint64_t bytes;
    } cases[] = {
        {{"Content-Length: 5"}, true, 5},
        {{"Content-Length: 5", "Content-Length: 5"}, true, 5},
        {{"Transfer-Encoding: chunked"}, false, 0},
        {{"Connection: close"}, false, 0},
        {{"Content-Length: 99999999999999999999999"}, false, 0},
        {{"Content-Length: -5"}, false, 0},
        {{"Content-Length: 5x"}, false, 0},
        {{"Content-Length: 5", "Content-Length: 7"}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headers.back());
        ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", c.headers) + "hello")});
        net::RequestHandle request = Open(server.url("/"));
        if (!request && !c.known) continue;
        ASSERT_TRUE(request);
        net::ContentLength length = net::QueryContentLength(request.get());
        EXPECT_EQ(c.known, length.known);
        EXPECT_EQ(c.bytes, length.bytes);
    }
}

TEST_F(NetRequest, HeadersAndAgent) {
    ScriptedServer server({ScriptedServer::Send(ResponseHead(
        "200 OK", {"Content-Type: application/zip; charset=binary", "Content-Length: 0",
                   "Content-Disposition:  attachment; filename=\"a.zip\"  "}))});
    net::SessionHandle kwen = net::OpenSession("Kwen");
    net::RequestHandle request = net::OpenAddress(kwen.get(), server.url("/").c_str());
    ASSERT_TRUE(request);
    EXPECT_NE(std::string::npos, server.last_request().find("User-Agent: Kwen\r\n"));
    char buf[64];
    ASSERT_TRUE(net::QueryContentType(request.get(), buf, sizeof buf));
    EXPECT_STREQ("application/zip; charset=binary", buf);
    ASSERT_TRUE(net::QueryHeader(request.get(), "content-disposition", buf, sizeof buf));
    EXPECT_STREQ("attachment; filename=\"a.zip\"", buf);
    EXPECT_FALSE(net::QueryHeader(request.get(), "X-Missing", buf, sizeof buf));
    char small[8];  // never cut: the caller would act on half a name
    EXPECT_FALSE(net::QueryHeader(request.get(), "Content-Disposition", small, sizeof small));

    ASSERT_TRUE(Open(server.url("/")));  // no agent name: no header at all
    EXPECT_EQ(std::string::npos, server.last_request().find("User-Agent"));
}

// A reader slower than the network: the transfer pauses once a megabyte
// waits unread, and every byte arrives exactly once.
TEST_F(NetRequest, SlowReaderLosesNothing) {
    std::string content(5000017, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7 + i / 251);
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
        net::RequestHandle request = Open(server.url(path));
        ASSERT_TRUE(request);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::string body;
        EXPECT_EQ(net::kNetEnd, Drain(request.get(), 20000, &body));
        EXPECT_TRUE(body == content) << body.size() << " bytes";
    }
}

// ReadBlocking fills or ends; a zero-byte ReadAvailable tells the end but
// never while bytes are still unread.
TEST_F(NetRequest, BlockingAndZeroByteReads) {
    ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 10"})),
                           ScriptedServer::Pause(30), ScriptedServer::Send("01234"),
                           ScriptedServer::Pause(30), ScriptedServer::Send("56789")});
    net::RequestHandle request = Open(server.url("/"));
    ASSERT_TRUE(request);
    char buf[16] = {};
    std::size_t got = 0;
    EXPECT_EQ(net::kNetData, net::ReadBlocking(request.get(), buf, 7, &got));
    EXPECT_EQ(7u, got);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(net::kNetPending, net::ReadAvailable(request.get(), nullptr, 0, &got));
    EXPECT_EQ(net::kNetEnd, net::ReadBlocking(request.get(), buf + 7, 9, &got));
    EXPECT_EQ(3u, got);
    EXPECT_STREQ("0123456789", buf);
    EXPECT_EQ(net::kNetEnd, net::ReadAvailable(request.get(), nullptr, 0, &got));
}

TEST_F(NetRequest, WhatDoesNotOpen) {
    LoopbackServer server;
    server.server().Get(R"(/hop/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        int left = std::stoi(req.matches[1]);
        if (left == 0) res.set_content("arrived", "text/plain");
        if (left > 0) res.set_redirect("/hop/" + std::to_string(left - 1));
    });
    server.server().Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("file:///etc/passwd");
    });
    server.Start();
    struct Case {
        std::string url;
        bool opens;
    } cases[] = {
        {server.url("/hop/10"), true},  // the redirect cap exactly
        {server.url("/hop/11"), false},
        {server.url("/to-file"), false},
        {"http://127.0.0.1:1/", false},
        {"file:///etc/passwd", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        net::RequestHandle request = Open(c.url);
        EXPECT_EQ(c.opens, static_cast<bool>(request));
        std::string body;
        if (request) Drain(request.get(), 100, &body);
        EXPECT_EQ(c.opens ? "arrived" : "", body);
    }
}

// Other tests (the sampler window's) force the answer through the seam.
TEST(NetOnline, TestsCanForceTheAnswer) {
    net::SetOnlineOverride(net::kOnlineForceOff);
    EXPECT_FALSE(net::IsOnline());
    net::SetOnlineOverride(net::kOnlineForceOn);
    EXPECT_TRUE(net::IsOnline());
    net::SetOnlineOverride(net::kOnlineAuto);
}

}  // namespace
