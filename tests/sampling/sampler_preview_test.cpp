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

TEST_F(SamplerPreview, EveryFrameOfATryRewritesTheSameFileInTheUsersTemporaryFolder) {
    glyphoria::testing::ScopedEnv tmpdir("TMPDIR", folder_.path().c_str());
#ifdef _WIN32
    // Windows keeps the fixed folder that older documents' pictures link to.
    const std::string expected = "C:\\TEMP\\GL_5.png";
#else
    // The user's own folder in the temporary folder.
    const std::string expected =
        folder_.file("glyphoria-" + std::to_string(getuid()) + "/GL_5.png");
#endif
    TextData first("id=5&text=one");
    const char* path = Preview(first, settings_, swatches_, renderer_.Bind());
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::string(path), expected);

    renderer_.body = "PNG2";
    TextData second("id=5&text=two");
    EXPECT_STREQ(Preview(second, settings_, swatches_, renderer_.Bind()), path);
    EXPECT_EQ(ReadFileBytes(path), "PNG2");

    renderer_.body = nullptr;
    TextData failed("id=5");
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
