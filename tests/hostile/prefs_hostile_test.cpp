// The INI store against values that try to write lines of their own, files
// that hold a key twice, a disk that fills up, a file made read-only and a
// folder that goes away: the file on disk is never damaged and a Save that
// failed says so.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/fs.h"
#include "support/prefs_store.h"
#include "tests/common/test_env.h"

namespace {

using glyphoria::PrefsStore;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

std::string Get(const PrefsStore& store, const char* key, const char* section = "General") {
    char value[300] = {};
    return store.GetString(section, key, value, sizeof value) >= 0 ? value : "<missing>";
}

std::string FilesIn(const std::string& folder) {
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names += entry.path().filename().string() + " ";
    return names;
}

class HostilePrefs : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileBytes(path_, kFile));
        ASSERT_EQ(0, store_.Load(path_.c_str()));
    }
    void TearDown() override { glyphoria::platform::SetWriteBudgetForTesting(-1); }

    static constexpr const char* kFile =
        "[General]\r\nmlSamplerUrl=http://shop.test/render\r\ndownloadFolder=/home/u/Fonts\r\n";
    TempDir dir_;
    std::string path_ = dir_.file("Glyphoria.ini");
    PrefsStore store_;
};

// "setPrefString" hands the page's values to SetString: a line break in a
// key, section or value would write a line of its own choosing.
TEST_F(HostilePrefs, InjectedLinesAreRefusedAndChangeNothing) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        int result;
    } cases[] = {
        {"General", "homepage", "x\r\nmlSamplerUrl=http://evil.test/", glyphoria::kPrefsBadValue},
        {"General", "homepage", "x\n[General]\ndownloadFolder=/", glyphoria::kPrefsBadValue},
        {"General", "homepage", "x\rdownloadFolder=/etc", glyphoria::kPrefsBadValue},
        {"General", "homepage\r\nmlSamplerUrl", "http://evil.test/", glyphoria::kPrefsBadKey},
        {"General", "mlSamplerUrl=http://evil.test/\r\nx", "1", glyphoria::kPrefsBadKey},
        {"General", "downloadFolder=/etc", "x", glyphoria::kPrefsBadKey},
        {"General", "[General]", "x", glyphoria::kPrefsBadKey},
        {"General", "", "x", glyphoria::kPrefsBadKey},
        {"General]\r\n[Evil", "k", "v", glyphoria::kPrefsBadKey},
        {"Gen]eral", "k", "v", glyphoria::kPrefsBadKey},
        {"", "k", "v", glyphoria::kPrefsBadKey},
        {"General", "homepage", nullptr, glyphoria::kPrefsBadValue},
    };
    const std::string before(store_.text(), store_.length());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + (c.value ? c.value : "(null)"));
        EXPECT_EQ(c.result, store_.SetString(c.section, c.key, c.value));
        EXPECT_EQ(before, std::string(store_.text(), store_.length()));
    }
    ASSERT_EQ(0, store_.Save());
    EXPECT_EQ(kFile, ReadFileBytes(path_));
    EXPECT_EQ("http://shop.test/render", Get(store_, "mlSamplerUrl"));
}

// Found by fuzzing: a file that holds a key twice (edited by hand, or by an
// older tool) kept answering with the second, stale line after SetString
// appended the new one to the last section.
TEST_F(HostilePrefs, AKeyHeldTwiceTakesTheNewValue) {
    for (const char* line_end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(line_end));
        const std::string le = line_end;
        ASSERT_TRUE(WriteFileBytes(path_, "[General]" + le + "a=1" + le + "b=0" + le + "a=2" + le));
        ASSERT_EQ(0, store_.Load(path_.c_str()));
        ASSERT_EQ(0, store_.SetString("General", "a", "3"));
        EXPECT_EQ("3", Get(store_, "a"));
        ASSERT_EQ(0, store_.Save());
        PrefsStore again;
        ASSERT_EQ(0, again.Load(path_.c_str()));
        EXPECT_EQ("3", Get(again, "a"));
        EXPECT_EQ("0", Get(again, "b"));
    }
}

// Values and keys at and beyond the sizes callers use are kept whole, and
// a reader with a small buffer gets a cut, terminated copy.
TEST_F(HostilePrefs, LongValuesStayWhole) {
    const std::string long_value(5000, 'v');
    ASSERT_EQ(0, store_.SetString("General", "long", long_value.c_str()));
    ASSERT_EQ(0, store_.Save());
    PrefsStore again;
    ASSERT_EQ(0, again.Load(path_.c_str()));
    char small[16];
    EXPECT_EQ(5000, again.GetString("General", "long", small, sizeof small));
    EXPECT_EQ(std::string(15, 'v'), small);
}

// A disk that fills up during Save: the old file stays whole, no temporary
// is left beside it, memory keeps the new value and a later Save works.
TEST_F(HostilePrefs, FullDiskDuringSaveKeepsTheOldFile) {
    ASSERT_EQ(0, store_.SetString("General", "homepage", "http://new.test/"));
    for (long long budget : {0LL, 1LL, 40LL, 100LL}) {
        SCOPED_TRACE(budget);
        glyphoria::platform::SetWriteBudgetForTesting(budget);
        EXPECT_EQ(glyphoria::kPrefsWriteFailed, store_.Save());
        EXPECT_EQ(kFile, ReadFileBytes(path_));
        EXPECT_EQ("Glyphoria.ini ", FilesIn(dir_.path()));
    }
    glyphoria::platform::SetWriteBudgetForTesting(-1);
    EXPECT_EQ("http://new.test/", Get(store_, "homepage"));
    ASSERT_EQ(0, store_.Save());
    PrefsStore again;
    ASSERT_EQ(0, again.Load(path_.c_str()));
    EXPECT_EQ("http://new.test/", Get(again, "homepage"));
}

// A preferences file the user made read-only is not replaced: Save fails
// (as on Windows, where nothing can replace it) and the file is unchanged.
TEST_F(HostilePrefs, ReadOnlyFileIsNotReplaced) {
    ASSERT_EQ(0, chmod(path_.c_str(), 0444));
    ASSERT_EQ(0, store_.SetString("General", "homepage", "http://new.test/"));
    EXPECT_EQ(glyphoria::kPrefsWriteFailed, store_.Save());
    EXPECT_EQ(kFile, ReadFileBytes(path_));
    EXPECT_EQ("Glyphoria.ini ", FilesIn(dir_.path()));
    chmod(path_.c_str(), 0644);
}

// The folder of the preferences goes away after Load: Save fails and says
// so, memory keeps the values, nothing is created elsewhere.
TEST_F(HostilePrefs, VanishedFolder) {
    const std::string folder = dir_.file("gone");
    std::filesystem::create_directory(folder);
    const std::string path = folder + "/Glyphoria.ini";
    ASSERT_TRUE(WriteFileBytes(path, kFile));
    PrefsStore store;
    ASSERT_EQ(0, store.Load(path.c_str()));
    std::filesystem::remove_all(folder);
    ASSERT_EQ(0, store.SetString("General", "homepage", "http://new.test/"));
    EXPECT_EQ(glyphoria::kPrefsWriteFailed, store.Save());
    EXPECT_EQ("http://new.test/", Get(store, "homepage"));
    EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
