// The WinINet seam against loopback servers: what WinINet itself reports
// (lengths, custom headers with short buffers, absent headers, refused ports)
// and what the seam adds on top (strict lengths, short bodies, reads that
// never wait, downloads that leave nothing behind on an error status).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/fs.h"
#include "platform/net.h"
#include "platform/win32/net_async.h"
#include "tests/common/loopback_server.h"
#include "tests/common/test_env.h"

namespace {

namespace net = glyphoria::platform;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;
using Clock = std::chrono::steady_clock;

net::NetRead Drain(net::InternetRequest* request, std::string* out) {
    char buf[7];  // small pieces: several reads per WinINet buffer
    for (int spins = 0; spins < 20000; ++spins) {
        std::size_t got = 0;
        net::NetRead read = net::ReadAvailable(request, buf, sizeof buf, &got);
        out->append(buf, got);
        if (read == net::kNetEnd || read == net::kNetFailed) return read;
        if (read == net::kNetPending) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return net::kNetFailed;
}

struct WinNet : ::testing::Test {
    net::SessionHandle session = net::OpenSession(nullptr);
    net::RequestHandle Open(const std::string& url, const net::NetLimits& limits = {}) {
        return net::OpenAddress(session.get(), url.c_str(), limits);
    }
};

std::string Chunked(const std::string& body) {
    char size[16];
    std::snprintf(size, sizeof size, "%zx", body.size());
    return std::string(size) + "\r\n" + body + "\r\n0\r\n\r\n";
}

// The announced length as a number, or unknown: absent, chunked, not a plain
// number, or repeated with another value. The body reads whole either way.
TEST_F(WinNet, ContentLengthAndBody) {
    struct Case {
        std::vector<std::string> headers;
        std::string body;
        bool known;
        std::uint64_t bytes;
        bool reads_whole;  // hostile lengths: only the length is checked
    } cases[] = {
        {{"Content-Length: 5"}, "hello", true, 5, true},
        {{"Content-Length: 5", "Content-Length: 5"}, "hello", true, 5, true},
        {{"Transfer-Encoding: chunked"}, Chunked("hello"), false, 0, true},
        {{"Connection: close"}, "hello", false, 0, true},
        {{"Content-Length: 5x"}, "hello", false, 0, false},
        {{"Content-Length: -5"}, "hello", false, 0, false},
        {{"Content-Length: 5", "Content-Length: 7"}, "hello", false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headers.back());
        ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", c.headers) + c.body)});
        net::RequestHandle request = Open(server.url("/"));
        if (!request && !c.known) continue;  // WinINet may refuse a hostile answer outright
        ASSERT_TRUE(request);
        net::ContentLength length = net::QueryContentLength(request.get());
        EXPECT_EQ(c.known, length.known);
        EXPECT_EQ(c.bytes, length.bytes);
        if (!c.reads_whole) continue;
        std::string body;
        EXPECT_EQ(net::kNetEnd, Drain(request.get(), &body));
        EXPECT_EQ("hello", body);
    }
}

// The probe's queries: the agent goes out, a header longer than WinINet's
// first buffer comes back whole (error 122, then the size needed), an absent
// header (12150) and one too long for the caller's buffer are false.
TEST_F(WinNet, HeadersAndAgent) {
    const std::string long_name(600, 'n');
    const std::string disposition = "attachment; filename=\"" + long_name + ".zip\"";
    ScriptedServer server({ScriptedServer::Send(
        ResponseHead("200 OK", {"Content-Type: application/zip", "Content-Length: 0",
                                "Content-Disposition:  " + disposition + "  "}))});
    net::SessionHandle kwen = net::OpenSession("Kwen");
    net::RequestHandle request = net::OpenAddress(kwen.get(), server.url("/").c_str());
    ASSERT_TRUE(request);
    EXPECT_NE(std::string::npos, server.last_request().find("User-Agent: Kwen\r\n"));
    char buf[1024];
    ASSERT_TRUE(net::QueryContentType(request.get(), buf, sizeof buf));
    EXPECT_STREQ("application/zip", buf);
    ASSERT_TRUE(net::QueryHeader(request.get(), "content-disposition", buf, sizeof buf));
    EXPECT_EQ(disposition, buf);
    char small[16];
    EXPECT_FALSE(net::QueryHeader(request.get(), "Content-Disposition", small, sizeof small));
    EXPECT_FALSE(net::QueryHeader(request.get(), "X-Absent", buf, sizeof buf));
}

TEST_F(WinNet, NoAgentForTransfers) {
    ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 0"}))});
    ASSERT_TRUE(Open(server.url("/")));
    EXPECT_EQ(std::string::npos, server.last_request().find("User-Agent:"));
}

// A body that breaks off before its announced length is a failure, not an
// end; WinINet alone would report it as complete.
TEST_F(WinNet, ShortBodyFails) {
    ScriptedServer server(
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 100"}) + "only this"),
         ScriptedServer::Close()});
    net::RequestHandle request = Open(server.url("/"));
    ASSERT_TRUE(request);
    std::string body;
    EXPECT_EQ(net::kNetFailed, Drain(request.get(), &body));
    EXPECT_EQ("only this", body);
}

// A server that stops sending: reads come back at once as pending, so a
// progress window stays responsive and its cancel (closing the request)
// takes effect immediately.
TEST_F(WinNet, StalledServerNeverBlocksAReadOrTheClose) {
    ScriptedServer server(
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 10"}) + "12345"),
         ScriptedServer::Pause(20000)});
    net::RequestHandle request = Open(server.url("/"));
    ASSERT_TRUE(request);
    std::string body;
    char buf[64];
    Clock::time_point start = Clock::now();
    for (int i = 0; i < 50; ++i) {
        std::size_t got = 0;
        net::NetRead read = net::ReadAvailable(request.get(), buf, sizeof buf, &got);
        body.append(buf, got);
        ASSERT_NE(net::kNetFailed, read);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ("12345", body);
    request.reset();
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_LT(elapsed.count(), 5000);
}

// The blocking read of the probe and the sampler gives up under the stall
// limit.
TEST_F(WinNet, BlockingReadGivesUpOnAStall) {
    ScriptedServer server({ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 10"})),
                           ScriptedServer::Pause(20000)});
    net::RequestHandle request = Open(server.url("/"), net::NetLimits{2000, 2000, 1000});
    ASSERT_TRUE(request);
    char buf[10];
    std::size_t got = 0;
    Clock::time_point start = Clock::now();
    EXPECT_EQ(net::kNetFailed, net::ReadBlocking(request.get(), buf, sizeof buf, &got));
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(),
              8000);
}

TEST_F(WinNet, WhatDoesNotOpen) {
    int free_port = 0;
    {
        ScriptedServer closed({});
        free_port = closed.port();
    }
    const std::string refused = "http://127.0.0.1:" + std::to_string(free_port) + "/";
    for (const std::string& address : {refused, std::string("file:///C:/windows/win.ini"),
                                       std::string("gopher://127.0.0.1/"), std::string("")}) {
        SCOPED_TRACE(address);
        EXPECT_FALSE(Open(address));
    }
    // Headers that never come: the response limit ends the wait.
    ScriptedServer silent({ScriptedServer::Pause(20000)});
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(Open(silent.url("/"), net::NetLimits{1000, 500, 0}));
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(),
              5000);
}

// Each way a request fails has its reason: before it opens, and when its
// content stops coming (the stall limit holds in the reads that never wait).
TEST_F(WinNet, FailureReasons) {
    using F = net::NetFailure;
    int free_port = 0;
    {
        ScriptedServer closed({});
        free_port = closed.port();
    }
    ScriptedServer silent({ScriptedServer::Pause(20000)});
    ScriptedServer looping({ScriptedServer::Send(
        ResponseHead("302 Found", {"Location: /again", "Content-Length: 0"}))});
    struct Case {
        std::string url;
        F failure;
    } opens[] = {
        {"http://127.0.0.1:" + std::to_string(free_port) + "/", F::kRefused},
        {"file:///C:/windows/win.ini", F::kBadAddress},
        {looping.url("/"), F::kTooManyRedirects},
        {silent.url("/"), F::kTimedOut},
    };
    for (const Case& c : opens) {
        SCOPED_TRACE(c.url);
        net::NetError error;
        EXPECT_FALSE(net::OpenAddress(session.get(), c.url.c_str(), {2000, 500, 0}, &error));
        EXPECT_EQ(c.failure, error.failure);
    }
    ScriptedServer quiet(
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 100"}) + "first"),
         ScriptedServer::Pause(20000)});
    net::RequestHandle request = Open(quiet.url("/"), {2000, 2000, 300});
    ASSERT_TRUE(request);
    std::string body;
    Clock::time_point start = Clock::now();
    EXPECT_EQ(net::kNetFailed, Drain(request.get(), &body));
    EXPECT_EQ("first", body);
    EXPECT_EQ(F::kTimedOut, net::ReadFailure(request.get()).failure);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(),
              5000);
}

// An error page opens and reads, as a browser shows it; its status tells.
TEST_F(WinNet, StatusOfTheFinalAnswer) {
    ScriptedServer server(
        {ScriptedServer::Send(ResponseHead("404 Not Found", {"Content-Length: 9"}) + "not found")});
    net::RequestHandle request = Open(server.url("/"));
    ASSERT_TRUE(request);
    EXPECT_EQ(404, net::QueryStatusCode(request.get()));
    std::string body;
    EXPECT_EQ(net::kNetEnd, Drain(request.get(), &body));
    EXPECT_EQ("not found", body);
}

// A read still pending when the request is closed (the user's cancel) keeps
// its buffer until WinINet has finished with it: released only after WinINet
// reported the read's end or the handle's closing, never before.
TEST_F(WinNet, PendingReadKeepsItsBufferUntilWinInetIsDone) {
    std::mutex mutex;
    std::vector<std::string> events;
    net::win32::SetAsyncTraceForTesting([&](const char* event) {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(event);
    });
    auto seen = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    };
    {
        ScriptedServer server(
            {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 100"}) + "12345"),
             ScriptedServer::Pause(20000)});
        net::RequestHandle request = Open(server.url("/"));
        ASSERT_TRUE(request);
        std::string body;
        char buf[16];
        for (int spins = 0; spins < 5000 && body.size() < 5; ++spins) {
            std::size_t got = 0;
            net::ReadAvailable(request.get(), buf, sizeof buf, &got);
            body.append(buf, got);
            if (!got) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_EQ("12345", body);
        {
            std::lock_guard<std::mutex> lock(mutex);
            events.clear();
        }
        // Ninety-five more bytes are due and none has come: the read waits.
        EXPECT_FALSE(net::win32::StartRead(request.get(), 95));
        ASSERT_EQ(std::vector<std::string>{"read pending"}, seen());
        request.reset();
        ASSERT_LE(2u, seen().size());
        EXPECT_EQ("parked", seen()[1]);
    }  // the server goes: the connection ends, and with it the read
    for (int i = 0; i < 1000 && seen().back() != "released"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    net::win32::SetAsyncTraceForTesting(nullptr);
    EXPECT_EQ((std::vector<std::string>{"read pending", "parked", "system done", "released"}),
              seen());
}

// The sampler download: the whole body under the name, or nothing there at
// all (an error status, a short body), and an older file only replaced by a
// complete one.
TEST(WinNetDownload, WholeFileOrNothing) {
    glyphoria::testing::TempDir dir;
    const std::string path = dir.file("image.png");
    {
        ScriptedServer ok(
            {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 4"}) + "\x89PNG")});
        ASSERT_TRUE(net::DownloadToFile(ok.url("/").c_str(), path.c_str(), net::NetLimits{}));
        EXPECT_EQ(4u, glyphoria::platform::StatPath(path.c_str()).size);
    }
    struct Case {
        const char* name;
        std::string answer;
        net::NetFailure failure;
        int status;
    } failures[] = {
        {"404", ResponseHead("404 Not Found", {"Content-Length: 9"}) + "not found",
         net::NetFailure::kHttpStatus, 404},
        {"short", ResponseHead("200 OK", {"Content-Length: 50"}) + "part", net::NetFailure::kBroken,
         0},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.name);
        const std::string fresh = dir.file(std::string(c.name) + ".png");
        ScriptedServer server({ScriptedServer::Send(c.answer), ScriptedServer::Close()});
        net::NetError error;
        EXPECT_FALSE(net::DownloadToFile(server.url("/").c_str(), fresh.c_str(), {}, &error));
        EXPECT_EQ(c.failure, error.failure);
        EXPECT_EQ(c.status, error.status);
        EXPECT_FALSE(glyphoria::platform::StatPath(fresh.c_str()).exists);
        EXPECT_FALSE(net::DownloadToFile(server.url("/").c_str(), path.c_str(), {}));
        EXPECT_EQ(4u, glyphoria::platform::StatPath(path.c_str()).size);
    }
    int entries = 0;  // no temporary left beside it
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::u8path(dir.path())))
        entries += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(1, entries);
}

TEST(WinNetOnline, LoopbackMachineIsOnlineAndTestsCanForceIt) {
    EXPECT_TRUE(net::IsOnline());
    net::SetOnlineOverride(net::kOnlineForceOff);
    EXPECT_FALSE(net::IsOnline());
    net::SetOnlineOverride(net::kOnlineAuto);
}

}  // namespace
