#include "mac/mac_sampler_fetch.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "mac/mac_folders.h"
#include "support/limits.h"
#include "tests/mac/mac_test_env.h"

namespace glyphoria::mac {
namespace {

const std::string kParameters =
    "?imagetype=typeit&shopid=77&Width=200&Height=50&TextSize=24&TextColor=%23000000"
    "&BgColor=transparent&RenderText=Hi";

class MacSamplerFetchTest : public MacTest {
  protected:
    // A renderer that answers with the given bytes (and error, if any).
    SynchronousRequest Renderer(std::string bytes, const char* error = nullptr) {
        return [this, bytes, error](const std::string& url, std::string* data, MacError* e) {
            requests_.push_back(url);
            *data = bytes;
            if (!error) return true;
            *e = {"NSURLErrorDomain", -1004, error};
            return false;
        };
    }
    std::vector<std::string> requests_;
};

TEST_F(MacSamplerFetchTest, DataBecomesThePreviewFile) {
    // The base is taken whole, even far beyond 255 bytes.
    const std::string base = "http://render.test/" + std::string(300, 'p');
    char path[kPathBufferSize] = "stale";
    const std::string result =
        FetchMacPreview(base, kParameters, "77", path, sizeof path, Renderer("\x89PNG data"));
    const std::string expected_path = TemporaryFolder() + "/GL_77.png";
    EXPECT_EQ(expected_path, result);
    EXPECT_STREQ(expected_path.c_str(), path);
    EXPECT_EQ(std::vector<std::string>{base + kParameters}, requests_);
    EXPECT_EQ("\x89PNG data", testing::ReadFileBytes(expected_path));
    EXPECT_TRUE(Logged("samplerURL: " + base + kParameters));
    EXPECT_TRUE(Logged("preview: " + expected_path));
}

TEST_F(MacSamplerFetchTest, NoPreviewWithoutData) {
    struct Case {
        const char* name;
        const char* bytes;
        const char* error;
        const char* id;
        bool requested;
    } cases[] = {
        {"error without data", "", "Could not connect to the server.", "77", true},
        {"empty answer", "", nullptr, "77", true},
        {"id with a separator", "data", nullptr, "../x", false},
        {"id with a dot pair", "data", nullptr, "a..b", false},
        {"empty id", "data", nullptr, "", false},
        {"id too long", "data", nullptr, "0123456789012345678901234567890123", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        requests_.clear();
        const std::string file = TemporaryFolder() + "/GL_" + c.id + ".png";
        std::remove(file.c_str());
        char path[kPathBufferSize] = "stale";
        EXPECT_EQ("", FetchMacPreview("http://r.test/", kParameters, c.id, path, sizeof path,
                                      Renderer(c.bytes, c.error)));
        EXPECT_STREQ("", path);
        EXPECT_EQ(c.requested ? 1u : 0u, requests_.size());
        EXPECT_FALSE(testing::PathExists(file));
        if (c.error) {
            EXPECT_TRUE(Logged(c.error));
        }
    }
}

TEST_F(MacSamplerFetchTest, ErrorWithDataStillWritesThePreview) {
    char path[kPathBufferSize];
    EXPECT_NE("", FetchMacPreview("http://r.test/", kParameters, "9", path, sizeof path,
                                  Renderer("bytes", "partial")));
    EXPECT_TRUE(Logged("partial"));
}

// An earlier preview that cannot be taken away (here: a folder under the
// name) is no preview of this answer; it stays as it was.
TEST_F(MacSamplerFetchTest, APreviewThatCannotBeReplacedIsNone) {
    const std::string file = TemporaryFolder() + "/GL_78.png";
    std::filesystem::create_directory(file);
    char path[kPathBufferSize] = "stale";
    EXPECT_EQ("", FetchMacPreview("http://r.test/", kParameters, "78", path, sizeof path,
                                  Renderer("data")));
    EXPECT_STREQ("", path);
    EXPECT_TRUE(std::filesystem::is_empty(file));
    EXPECT_TRUE(Logged("preview: cannot replace " + file));
    std::filesystem::remove(file);
}

TEST_F(MacSamplerFetchTest, PathThatDoesNotFitIsNoPreview) {
    char path[8] = "stale";
    EXPECT_EQ("", FetchMacPreview("http://r.test/", kParameters, "77", path, sizeof path,
                                  Renderer("data")));
    EXPECT_STREQ("", path);
}

}  // namespace
}  // namespace glyphoria::mac
