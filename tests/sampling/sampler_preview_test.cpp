// Fetching a record's preview: the log line, the file replaced on every
// fetch, success judged by the file alone, settings from the preferences.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sampling/sampler_request.h"
#include "support/log.h"
#include "support/prefs_store.h"
#include "tests/common/test_env.h"
#include "tests/sampling/fake_document.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace glyphoria {
namespace {

using glyphoria::testing::PathExists;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

// A renderer stand-in: writes body into the file (nothing when body is null)
// and records the calls.
struct FakeRenderer {
    const char* body = "PNG";
    std::vector<std::string> urls;
    bool old_file_seen = false;

    PreviewDownload Bind() {
        return [this](const char* url, const char* path) {
            urls.push_back(url);
            old_file_seen = old_file_seen || PathExists(path);
            if (body) WriteFileBytes(path, body);
        };
    }
};

class SamplerPreview : public ::testing::Test {
  protected:
    void SetUp() override { OpenLogInFolder(1, logs_.path().c_str(), ""); }

    int Fetch(const char* argument, const std::string& path) {
        TextData record(argument);
        return FetchPreview(record, path.c_str(), settings_, swatches_, renderer_.Bind());
    }

    TempDir logs_;
    TempDir folder_;
    SamplerSettings settings_{"http://renderer.test/t", 1.0f};
    testing::FakeSwatches swatches_;
    FakeRenderer renderer_;
};

TEST_F(SamplerPreview, FetchLogsTheUrlAndReplacesTheFile) {
    std::string path = folder_.file("GL_77.png");
    ASSERT_TRUE(WriteFileBytes(path, "old"));
    EXPECT_EQ(Fetch("id=77&text=Hi", path), 1);
    ASSERT_EQ(renderer_.urls.size(), 1u);
    EXPECT_FALSE(renderer_.old_file_seen);
    EXPECT_EQ(ReadFileBytes(path), "PNG");
    EXPECT_NE(ReadFileBytes(LogPath()).find("samplerURL: " + renderer_.urls[0] + "\r"),
              std::string::npos);
}

TEST_F(SamplerPreview, FailsWhenTheDownloadLeavesNoFileAndFetchesNothingWithoutAUrl) {
    std::string path = folder_.file("GL_77.png");
    ASSERT_TRUE(WriteFileBytes(path, "old"));
    renderer_.body = nullptr;
    EXPECT_EQ(Fetch("id=77", path), 0);
    // The stale file of an earlier frame does not pass for this frame's image.
    EXPECT_FALSE(PathExists(path));

    ASSERT_TRUE(WriteFileBytes(path, "keep"));
    EXPECT_EQ(Fetch("id=../../x", path), 0);
    EXPECT_EQ(renderer_.urls.size(), 1u);
    EXPECT_EQ(ReadFileBytes(path), "keep");
}

TEST_F(SamplerPreview, EachFrameHasItsFileInTheUsersTemporaryFolderRewrittenByItsNextTry) {
    glyphoria::testing::ScopedEnv tmpdir("TMPDIR", folder_.path().c_str());
#ifdef _WIN32
    // Windows keeps the fixed folder that older documents' pictures link to.
    const std::string expected_head = "C:\\TEMP\\GL_5_";
#else
    // The user's own folder in the temporary folder.
    const std::string expected_head =
        folder_.file("glyphoria-" + std::to_string(getuid()) + "/GL_5_");
#endif
    int document = 0;
    TextData first("id=5&text=one");
    first.set_frame(FrameRef{&document, 20});
    const std::string path = Preview(first, settings_, swatches_, renderer_.Bind());
    EXPECT_EQ(path.substr(0, expected_head.size() + 3), expected_head + "20_");
    const std::string expected = path;

    // Another frame: a file of its own; the first frame's stays.
    renderer_.body = "PNG2";
    TextData second("id=5&text=two");
    second.set_frame(FrameRef{&document, 21});
    const std::string other = Preview(second, settings_, swatches_, renderer_.Bind());
    EXPECT_NE(other, path);
    EXPECT_EQ(ReadFileBytes(other), "PNG2");
    EXPECT_EQ(ReadFileBytes(path), "PNG");

    // The same frame again: its own file is rewritten.
    TextData again("id=5&text=three");
    again.set_frame(FrameRef{&document, 20});
    EXPECT_EQ(Preview(again, settings_, swatches_, renderer_.Bind()), path);
    EXPECT_EQ(ReadFileBytes(path), "PNG2");

    renderer_.body = nullptr;
    TextData failed("id=5");
    failed.set_frame(FrameRef{&document, 20});
    EXPECT_EQ(Preview(failed, settings_, swatches_, renderer_.Bind()), nullptr);
    EXPECT_FALSE(PathExists(expected));
}

TEST(SamplerSettingsTest, ComeFromThePreferences) {
    TempDir dir;
    std::string ini = dir.file("prefs.ini");
    ASSERT_TRUE(WriteFileBytes(ini, "[General]\r\nsampleSizeFactor=1.5\r\n"));
    ASSERT_EQ(Prefs().Load(ini.c_str()), 0);
    SamplerSettings settings = SamplerSettings::FromPrefs();
    EXPECT_EQ(settings.base_url, "");
    EXPECT_FLOAT_EQ(settings.size_factor, 1.5f);

    // An over-long base is kept long enough to be refused instead of cut.
    std::string long_base = "http://r.test/" + std::string(250, 'p');
    ASSERT_EQ(Prefs().SetString("General", "mlSamplerUrl", long_base.c_str()), 0);
    TextData record("id=1");
    EXPECT_EQ(SamplerUrl(record, SamplerSettings::FromPrefs(), testing::FakeSwatches()), nullptr);
}

}  // namespace
}  // namespace glyphoria
