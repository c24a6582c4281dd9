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

// Each way a request fails has its reason, whether it never opens or its
// content stops coming.
TEST_F(NetRequest, FailureReasons) {
    using F = net::NetFailure;
    glyphoria::testing::SelfSignedCertificate certificate;
    LoopbackServer https(certificate);
    https.server().Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("secret", "text/plain");
    });
    https.Start();
    LoopbackServer server;
    server.server().Get(R"(/hop/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.set_redirect("/hop/" + std::to_string(std::stoi(req.matches[1]) + 1));
    });
    server.server().Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("file:///etc/passwd");
    });
    server.Start();
    ScriptedServer silent({ScriptedServer::Pause(20000)});
    struct Case {
        std::string url;
        F failure;
        // Short, so the silent server fails soon; the TLS handshake gets
        // longer, as it can take more than that under a sanitizer on a busy
        // machine and would then time out instead of failing its check.
        long response_ms = 300;
    } opens[] = {
        {"http://127.0.0.1:1/", F::kRefused},
        {"http://no-such-host.invalid/", F::kNameNotFound},
        {https.url("/"), F::kCertificate, 5000},
        {server.url("/hop/0"), F::kTooManyRedirects},
        {server.url("/to-file"), F::kBadAddress},
        {"file:///etc/passwd", F::kBadAddress},
        {"", F::kBadAddress},
        {silent.url("/"), F::kTimedOut},
    };
    for (const Case& c : opens) {
        SCOPED_TRACE(c.url);
        net::NetError error;
        EXPECT_FALSE(
            net::OpenAddress(session.get(), c.url.c_str(), {5000, c.response_ms, 0}, &error));
        EXPECT_EQ(c.failure, error.failure);
    }

    struct ReadCase {
        const char* name;
        std::vector<ScriptedServer::Step> script;
        F failure;
    } reads[] = {
        {"quiet after a few bytes",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 100"}) + "first"),
          ScriptedServer::Pause(20000)},
         F::kTimedOut},
        {"closed short of its length",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 100"}) + "first"),
          ScriptedServer::Close()},
         F::kBroken},
    };
    for (const ReadCase& c : reads) {
        SCOPED_TRACE(c.name);
        for (bool blocking : {false, true}) {
            ScriptedServer quiet(c.script);
            net::NetError error;
            net::RequestHandle request =
                net::OpenAddress(session.get(), quiet.url("/").c_str(), {5000, 5000, 300}, &error);
            ASSERT_TRUE(request);
            EXPECT_EQ(F::kNone, error.failure);
            EXPECT_EQ(F::kNone, net::ReadFailure(request.get()).failure);
            char buf[200];
            std::size_t got = 0;
            auto start = std::chrono::steady_clock::now();
            std::string body;
            net::NetRead read = net::kNetPending;
            if (blocking) {
                read = net::ReadBlocking(request.get(), buf, sizeof buf, &got);
                body.assign(buf, got);
            } else {
                read = Drain(request.get(), sizeof buf, &body);
            }
            EXPECT_EQ(net::kNetFailed, read);
            EXPECT_EQ("first", body);
            EXPECT_EQ(c.failure, net::ReadFailure(request.get()).failure);
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        }
    }
}

// The status is the final answer's; an error page still opens and reads, as a
// browser shows it.
TEST_F(NetRequest, StatusCodes) {
    LoopbackServer server;
    server.server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("no such page", "text/html");
    });
    server.server().Get("/moved", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/missing");
    });
    server.Start();
    for (const char* path : {"/missing", "/moved"}) {
        SCOPED_TRACE(path);
        net::RequestHandle request = Open(server.url(path));
        ASSERT_TRUE(request);
        EXPECT_EQ(404, net::QueryStatusCode(request.get()));
        std::string body;
        EXPECT_EQ(net::kNetEnd, Drain(request.get(), 100, &body));
        EXPECT_EQ("no such page", body);
    }
    EXPECT_EQ(0, net::QueryStatusCode(nullptr));
    EXPECT_FALSE(net::IsSuccessStatus(199));
    EXPECT_TRUE(net::IsSuccessStatus(200));
    EXPECT_TRUE(net::IsSuccessStatus(299));
    EXPECT_FALSE(net::IsSuccessStatus(304));
}

// The process keeps one cookie store, as WinINet does: a session started by
// one request goes with the next, whatever session handle makes it.
TEST_F(NetRequest, CookiesGoWithLaterRequests) {
    LoopbackServer server;
    server.server().Get("/sign-in", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Set-Cookie", "seam_session=42; Path=/");
        res.set_content("welcome", "text/html");
    });
    server.server().Get("/private", [](const httplib::Request& req, httplib::Response& res) {
        const bool signed_in =
            req.get_header_value("Cookie").find("seam_session=42") != std::string::npos;
        res.status = signed_in ? 200 : 403;
        res.set_content(signed_in ? "yours" : "sign in first", "text/plain");
    });
    server.Start();
    net::SessionHandle other = net::OpenSession("Kwen");
    net::RequestHandle before = net::OpenAddress(other.get(), server.url("/private").c_str());
    ASSERT_TRUE(before);
    EXPECT_EQ(403, net::QueryStatusCode(before.get()));
    ASSERT_TRUE(Open(server.url("/sign-in")));
    net::RequestHandle after = net::OpenAddress(other.get(), server.url("/private").c_str());
    ASSERT_TRUE(after);
    EXPECT_EQ(200, net::QueryStatusCode(after.get()));
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
