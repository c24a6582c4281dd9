// The sampler's preview fetch against renderers that misbehave: an error
// page, a connection dropped mid-image, a stall, a length that is too long,
// and bytes that are no PNG at all. A failed fetch leaves no file (and no
// earlier preview) behind, so no stale or partial image is ever placed; a
// complete answer is kept byte for byte, whatever it is, for the placement
// to judge. And against the disk: an earlier preview that cannot be taken
// away fails the frame's try before anything is fetched, and whatever stands
// under a preview's name is replaced, never written through.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/folders.h"
#include "platform/fs.h"
#include "purchase/fetch_limits.h"
#include "purchase/fetch_to_file.h"
#include "sampling/frame_steps.h"
#include "sampling/sampler_request.h"
#include "sampling/text_data.h"
#include "tests/common/loopback_server.h"
#include "tests/common/test_env.h"
#include "tests/sampling/host_document.h"

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
    glyphoria::SetBlockingFetchLimits({3000, 3000, 1000});
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

// The preview of a frame goes to its own file in the user's own temporary
// folder. What stands there from before and cannot be taken away (a file
// the user may not remove, a folder) fails that frame: no fetch, nothing
// placed, no undo step, the old file as it was; the other frames are tried.
class HostilePreviewFile : public glyphoria::testing::HostDocumentTest {
  protected:
    std::string PreviewPath(const char* frame = "alpha") const {
        return PreviewPathOf(Frame(frame));
    }
    void TearDown() override {
        glyphoria::platform::ClearPathFaultsForTesting();
        for (const char* frame : {"alpha", "beta"})
            std::filesystem::remove_all(PreviewPath(frame));
        HostDocumentTest::TearDown();
    }
};

TEST_F(HostilePreviewFile, APreviewThatCannotBeReplacedFailsItsFrame) {
    for (const char* what : {"earlier preview the user may not remove", "folder"}) {
        SCOPED_TRACE(what);
        const std::string path = PreviewPath("alpha");
        const UID beta = Frame("beta");
        std::filesystem::remove_all(path);
        std::string earlier;
        if (std::string(what) == "folder") {
            std::filesystem::create_directory(path);
        } else {
            earlier = glyphoria::testing::WriteTestPng(path, 7, 3);
            earlier = glyphoria::testing::ReadFileBytes(path);
            glyphoria::platform::SetPathFaultForTesting(path, glyphoria::platform::kFaultRemove);
        }
        messages.clear();
        urls.clear();
        Select({"alpha", "beta"});
        glyphoria::TryFontWith("id=5", PictureDownload());
        glyphoria::platform::ClearPathFaultsForTesting();
        // Only beta was fetched and replaced, as one step.
        ASSERT_EQ(1u, urls.size());
        EXPECT_NE(std::string::npos, urls[0].find("RenderText=Beta"));
        EXPECT_EQ("Alpha text\r", StoryText(Frame("alpha")));
        EXPECT_FALSE(doc->IsValidUID(beta));
        ASSERT_EQ(1u, doc->UndoSteps().size());
        EXPECT_TRUE(messages.empty());
        if (earlier.empty()) {
            EXPECT_TRUE(std::filesystem::is_empty(path));
        } else {
            EXPECT_EQ(earlier, glyphoria::testing::ReadFileBytes(path));
        }
        EXPECT_NE(std::string::npos, LogText().find("preview: cannot replace " + path + "\r"));
        ASSERT_EQ(kSuccess, doc->Undo());
        EXPECT_EQ("Beta\r", StoryText(beta));
    }
}

#ifndef _WIN32
// A link planted under the preview's name goes; the file it pointed to is
// neither written nor removed, and the frame gets its own picture.
TEST_F(HostilePreviewFile, ALinkUnderThePreviewsNameIsReplacedNotWrittenThrough) {
    const std::string path = PreviewPath("alpha");
    const std::string victim = folder.file("victim.png");
    ASSERT_TRUE(glyphoria::testing::WriteFileBytes(victim, "keep me"));
    std::filesystem::create_symlink(victim, path);
    Select({"alpha"});
    glyphoria::TryFontWith("id=5", PictureDownload());
    EXPECT_EQ(1u, urls.size());
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ("keep me", glyphoria::testing::ReadFileBytes(victim));
    EXPECT_TRUE(messages.empty());
}
#endif

}  // namespace
