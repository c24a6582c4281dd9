// Blocking downloads into files, and the connection-state answer.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/net.h"
#include "tests/common/loopback_server.h"

namespace {

using glyphoria::platform::DownloadToFile;
using glyphoria::platform::NetLimits;
using glyphoria::testing::LoopbackServer;
using glyphoria::testing::PathExists;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;
using glyphoria::testing::TempDir;

std::size_t EntriesIn(const std::string& folder) {
    std::size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(folder);
         it != std::filesystem::directory_iterator(); ++it)
        ++n;
    return n;
}

TEST(NetDownload, WritesTheWholeAnswer) {
    LoopbackServer server;
    const std::string png(70000, '\x89');
    server.server().Get("/img", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(png, "image/png");
    });
    server.Start();
    TempDir dir;
    ASSERT_TRUE(DownloadToFile(server.url("/img").c_str(), dir.file("a.png").c_str(), NetLimits{}));
    EXPECT_TRUE(ReadFileBytes(dir.file("a.png")) == png);
    EXPECT_EQ(1u, EntriesIn(dir.path()));  // no temporary left beside it
}

// A failed download leaves nothing at the path and nothing beside it.
TEST(NetDownload, FailuresLeaveNoFile) {
    struct Case {
        const char* name;
        std::string answer;
    } cases[] = {
        {"error status", ResponseHead("404 Not Found", {"Content-Length: 9"}) + "not found"},
        {"connection dropped", ResponseHead("200 OK", {"Content-Length: 5000"}) + "partial"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server({ScriptedServer::Send(c.answer), ScriptedServer::Close()});
        TempDir dir;
        EXPECT_FALSE(
            DownloadToFile(server.url("/").c_str(), dir.file("a.png").c_str(), NetLimits{}));
        EXPECT_EQ(0u, EntriesIn(dir.path()));
    }
    TempDir dir;
    EXPECT_FALSE(DownloadToFile("http://127.0.0.1:1/", dir.file("a.png").c_str(), NetLimits{}));
    EXPECT_FALSE(PathExists(dir.file("a.png")));
}

// No window, no cancel: a server that stops sending must end the call.
TEST(NetDownload, StallEndsAtTheLowSpeedLimit) {
    struct Case {
        const char* name;
        std::vector<ScriptedServer::Step> script;
    } cases[] = {
        {"silent after accepting", {ScriptedServer::Pause(20000)}},
        {"stops mid-body",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 100"}) + "abc"),
          ScriptedServer::Pause(20000)}},
    };
    NetLimits limits;
    limits.connect_timeout_ms = 1000;
    limits.low_speed_bytes = 1000;
    limits.low_speed_seconds = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(c.script);
        TempDir dir;
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(DownloadToFile(server.url("/").c_str(), dir.file("a.png").c_str(), limits));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
        EXPECT_EQ(0u, EntriesIn(dir.path()));
    }
}

TEST(NetOnline, OverrideWinsOverTheSystem) {
    using glyphoria::platform::IsOnline;
    using glyphoria::platform::SetOnlineOverride;
    SetOnlineOverride(glyphoria::platform::kOnlineForceOff);
    EXPECT_FALSE(IsOnline());
    SetOnlineOverride(glyphoria::platform::kOnlineForceOn);
    EXPECT_TRUE(IsOnline());
    SetOnlineOverride(glyphoria::platform::kOnlineAuto);
    IsOnline();  // the system's answer varies by machine; it must only answer
}

}  // namespace
