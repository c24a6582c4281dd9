// The batch download: each job ends on its own (content, error status,
// broken body, stalled server, no address), a few at a time, and a failed
// job leaves neither its file nor a part file behind; the jobs run side by
// side. Both forms (libcurl, WinINet).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/net.h"
#include "tests/common/loopback_server.h"
#include "tests/common/test_env.h"

namespace {

namespace net = glyphoria::platform;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;

TEST(NetBatch, EachJobEndsOnItsOwnAndOnlyCompleteFilesStay) {
    struct Case {
        const char* name;
        std::vector<ScriptedServer::Step> script;  // empty: no address at all
        net::NetFailure failure;
        int status;
        const char* content;  // what the file holds when it is there
    } cases[] = {
        {"content",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 5"}) + "hello")},
         net::NetFailure::kNone,
         0,
         "hello"},
        {"error page",
         {ScriptedServer::Send(ResponseHead("404 Not Found", {"Content-Length: 4"}) + "gone")},
         net::NetFailure::kHttpStatus,
         404,
         nullptr},
        {"body cut short",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 10"}) + "half"),
          ScriptedServer::Close()},
         net::NetFailure::kBroken,
         0,
         nullptr},
        {"server goes quiet",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 10"}) + "half"),
          ScriptedServer::Pause(20000)},
         net::NetFailure::kTimedOut,
         0,
         nullptr},
        {"server never answers",
         {ScriptedServer::Pause(20000)},
         net::NetFailure::kTimedOut,
         0,
         nullptr},
        {"no address", {}, net::NetFailure::kBadAddress, 0, nullptr},
        {"content without a length",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Connection: close"}) + "whole"),
          ScriptedServer::Close()},
         net::NetFailure::kNone,
         0,
         "whole"},
    };
    glyphoria::testing::TempDir dir;
    std::vector<std::unique_ptr<ScriptedServer>> servers;
    std::vector<net::FileDownload> jobs;
    for (const Case& c : cases) {
        net::FileDownload job;
        if (!c.script.empty()) {
            servers.push_back(std::make_unique<ScriptedServer>(c.script));
            job.address = servers.back()->url("/preview.png");
        }
        job.path = dir.file(std::string(c.name) + ".png");
        jobs.push_back(job);
    }
    net::DownloadAllToFiles(jobs, 2, net::NetLimits{2000, 2000, 500});

    std::size_t kept = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.content != nullptr, jobs[i].ok);
        EXPECT_EQ(c.failure, jobs[i].error.failure);
        EXPECT_EQ(c.status, jobs[i].error.status);
        EXPECT_EQ(c.content != nullptr, glyphoria::testing::PathExists(jobs[i].path));
        if (c.content) {
            EXPECT_EQ(c.content, glyphoria::testing::ReadFileBytes(jobs[i].path));
            ++kept;
        }
    }
    // No part file of any job is left.
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(kept, entries);
}

// The server answers neither request until both have come in: jobs run one
// after the other would leave the first waiting until its response limit.
TEST(NetBatch, JobsRunSideBySide) {
    ScriptedServer server(
        {ScriptedServer::AwaitRequests(2, 20000),
         ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 5"}) + "hello")});
    glyphoria::testing::TempDir dir;
    std::vector<net::FileDownload> jobs(2);
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        jobs[i].address = server.url("/preview" + std::to_string(i) + ".png");
        jobs[i].path = dir.file("preview" + std::to_string(i) + ".png");
    }
    net::DownloadAllToFiles(jobs, 2, net::NetLimits{2000, 3000, 2000});

    for (const net::FileDownload& job : jobs) {
        SCOPED_TRACE(job.path);
        EXPECT_TRUE(job.ok);
        EXPECT_EQ(net::NetFailure::kNone, job.error.failure);
        EXPECT_EQ("hello", glyphoria::testing::ReadFileBytes(job.path));
    }
}

}  // namespace
