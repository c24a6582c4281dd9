// The preview fetched from a renderer on the loopback address through the
// platform's download: what the renderer reads out of the request, and what
// an error page leaves behind.
#include <gtest/gtest.h>

#include <string>

#include "platform/net.h"
#include "sampling/sampler_request.h"
#include "tests/common/loopback_server.h"
#include "tests/sampling/fake_document.h"

namespace glyphoria {
namespace {

using glyphoria::testing::ReadFileBytes;

TEST(SamplerLoopback, TheRendererReadsTheRecordAndItsImageLandsInTheFile) {
    glyphoria::testing::LoopbackServer renderer;
    httplib::Params seen;
    renderer.server().Get("/typeit",
                          [&](const httplib::Request& request, httplib::Response& response) {
                              seen = request.params;
                              if (request.get_param_value("shopid") == "missing") {
                                  response.status = 404;
                                  return;
                              }
                              response.set_content("\x89PNG", "image/png");
                          });
    renderer.Start();
    glyphoria::testing::TempDir folder;
    glyphoria::testing::ScopedEnv tmpdir("TMPDIR", folder.path().c_str());
    SamplerSettings settings{renderer.url("/typeit"), 1.0f};
    PreviewDownload download = [](const char* url, const char* path) {
        platform::DownloadToFile(url, path, platform::NetLimits{5000, 5000, 0});
    };

    TextData record("id=77&fontsize=9.500&textUID=20&fillUID=10&text=H%C3%A9%20%26&width=200.6");
    const char* path = Preview(record, settings, testing::FakeSwatches(), download);
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(ReadFileBytes(path), "\x89PNG");
    EXPECT_EQ(seen.size(), 8u);
    auto param = [&](const char* name) {
        auto it = seen.find(name);
        return it == seen.end() ? std::string("(none)") : it->second;
    };
    EXPECT_EQ(param("imagetype"), "typeit");
    EXPECT_EQ(param("shopid"), "77");
    EXPECT_EQ(param("Width"), "200");
    EXPECT_EQ(param("Height"), "0");
    EXPECT_EQ(param("TextSize"), "9");
    EXPECT_EQ(param("TextColor"), "#ff7f00");
    EXPECT_EQ(param("BgColor"), "transparent");
    EXPECT_EQ(param("RenderText"), "H\xC3\xA9 &");

    // An error page is no image: the frame is skipped.
    TextData missing("id=missing&text=x");
    EXPECT_EQ(Preview(missing, settings, testing::FakeSwatches(), download), nullptr);
}

}  // namespace
}  // namespace glyphoria
