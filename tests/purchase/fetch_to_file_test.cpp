// Fetching the sampler's preview straight into a file.
#include "purchase/fetch_to_file.h"

#include <gtest/gtest.h>

#include <chrono>

#include "purchase/fetch_limits.h"
#include "tests/common/loopback_server.h"

namespace {

using glyphoria::FetchToFile;
using glyphoria::testing::LoopbackServer;
using glyphoria::testing::PathExists;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

// Success is exactly "the file exists afterwards", so an earlier preview must
// never survive a failed fetch.
TEST(FetchToFile, ReplacesOrRemovesTheEarlierFile) {
    LoopbackServer server;
    server.server().Get("/render", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("\x89PNG new", "image/png");
    });
    server.server().Get("/broken", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content("renderer error", "text/plain");
    });
    server.Start();
    struct Case {
        std::string address;
        int result;
        std::string content;  // empty: no file
    } cases[] = {
        {server.url("/render?imagetype=typeit&shopid=77"), 1, "\x89PNG new"},
        {server.url("/broken"), 0, ""},
        {"http://127.0.0.1:1/render", 0, ""},
        {"", 0, ""},
    };
    TempDir dir;
    const std::string path = dir.file("GL_77.png");
    // What an interrupted fetch of the same file left goes with the next one.
    const std::string leftover = dir.file("GL_77.png.part-0123456789ab");
    ASSERT_TRUE(WriteFileBytes(leftover, "\x89PNG half"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        ASSERT_TRUE(WriteFileBytes(path, "old preview"));
        EXPECT_EQ(c.result, FetchToFile(c.address.c_str(), path.c_str()));
        EXPECT_EQ(!c.content.empty(), PathExists(path));
        EXPECT_EQ(c.content, ReadFileBytes(path));
        EXPECT_FALSE(PathExists(leftover));
    }
}

// No window, no cancel: a renderer that goes quiet, before answering or in
// the middle, must release the caller (limits shortened here).
TEST(FetchToFile, StalledRendererFails) {
    glyphoria::SetBlockingFetchLimits({15000, 1000, 1000});
    const std::vector<ScriptedServer::Step> scripts[] = {
        {ScriptedServer::Pause(20000)},
        {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 900"}) + "\x89PNG"),
         ScriptedServer::Pause(20000)},
    };
    for (const auto& script : scripts) {
        ScriptedServer server(script);
        TempDir dir;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(0, FetchToFile(server.url("/").c_str(), dir.file("GL_1.png").c_str()));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_FALSE(PathExists(dir.file("GL_1.png")));
    }
    glyphoria::SetBlockingFetchLimits(glyphoria::kDefaultBlockingFetchLimits);
}

}  // namespace
