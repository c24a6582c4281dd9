// The sampler's preview fetch against renderers that misbehave: an error
// page, a connection dropped mid-image, a stall, a length that is too long,
// and bytes that are no PNG at all. A failed fetch leaves no file (and no
// earlier preview) behind, so no stale or partial image is ever placed; a
// complete answer is kept byte for byte, whatever it is, for the placement
// to judge.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "purchase/fetch_limits.h"
#include "purchase/fetch_to_file.h"
#include "sampling/sampler_request.h"
#include "sampling/text_data.h"
#include "tests/common/loopback_server.h"
#include "tests/common/test_env.h"

namespace {

using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;

struct NoSwatches : glyphoria::SwatchSource {
    bool Describe(int, glyphoria::SwatchFacts*) const override { return false; }
};

TEST(HostilePreview, FailedFetchesLeaveNoFileCompleteOnesAreKept) {
    const std::string png_head("\x89PNG\r\n\x1a\n", 8);
    const std::string garbage = "<html>not an image</html>" + std::string(2000, '\xff');
    struct Case {
        const char* name;
        std::vector<ScriptedServer::Step> script;
        bool kept;
        std::string bytes;
    } cases[] = {
        {"garbage as PNG",
         {ScriptedServer::Send(
             ResponseHead("200 OK", {"Content-Type: image/png", "Content-Length: 2025"}) +
             garbage)},
         true,
         garbage},
        {"error status",
         {ScriptedServer::Send(ResponseHead("500 Internal Server Error",
                                            {"Content-Type: text/html", "Content-Length: 6"}) +
                               "<html>")},
         false,
         ""},
        {"dropped mid-image",
         {ScriptedServer::Send(
              ResponseHead("200 OK", {"Content-Type: image/png", "Content-Length: 5000"}) +
              png_head + std::string(1000, 'p')),
          ScriptedServer::Close()},
         false,
         ""},
        {"longer length than sent",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 4294967295"}) + png_head),
          ScriptedServer::Close()},
         false,
         ""},
        {"stalled",
         {ScriptedServer::Send(ResponseHead("200 OK", {"Content-Length: 5000"}) + png_head),
          ScriptedServer::Pause(20000)},
         false,
         ""},
    };
    glyphoria::SetBlockingFetchLimits({3000, 3000, 1000, 1});
    glyphoria::testing::TempDir dir;
    const std::string path = dir.file("GL_5.png");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(c.script);
        // An earlier preview under the same name must not survive a failure.
        ASSERT_TRUE(glyphoria::testing::WriteFileBytes(path, png_head + "earlier"));
        glyphoria::TextData record("id=5&text=Hi&width=100.000&height=20.000");
        glyphoria::SamplerSettings settings;
        settings.base_url = server.url("/render");
        const int fetched = glyphoria::FetchPreview(
            record, path.c_str(), settings, NoSwatches(),
            [](const char* url, const char* to) { glyphoria::FetchToFile(url, to); });
        EXPECT_EQ(c.kept ? 1 : 0, fetched);
        EXPECT_EQ(c.kept, glyphoria::testing::PathExists(path));
        if (c.kept) {
            EXPECT_EQ(c.bytes, glyphoria::testing::ReadFileBytes(path));
        }
        EXPECT_EQ(c.kept ? 1u : 0u, static_cast<std::size_t>(std::distance(
                                        std::filesystem::directory_iterator(dir.path()),
                                        std::filesystem::directory_iterator())));
    }
    glyphoria::SetBlockingFetchLimits(glyphoria::kDefaultBlockingFetchLimits);
}

}  // namespace
