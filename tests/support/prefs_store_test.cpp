#include "support/prefs_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/fs.h"
#include "platform/path_style.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

using testing::PathExists;
using testing::ReadFileBytes;
using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

constexpr const char* kMissing = nullptr;  // no file before Load

std::string Get(const PrefsStore& store, const char* section, const char* key) {
    char buf[kValueBufferSize];
    int n = store.GetString(section, key, buf, sizeof buf);
    return n < 0 ? "<missing>" : std::string(buf);
}

// Setting General/k=v in a file, saving it, and the bytes that result.
TEST(PrefsStoreSet, FileRoundTrips) {
    struct Case {
        const char* name;
        const char* before;  // kMissing: no file
        const char* line_end;
        const char* after;
    } cases[] = {
        {"missing file starts CR LF", kMissing, "\r\n", "[General]\r\nk=v\r\n"},
        {"empty file counts as CR", "", "\r", "[General]\rk=v\r"},
        {"CR LF kept", "[General]\r\na=1\r\n", "\r\n", "[General]\r\na=1\r\nk=v\r\n"},
        {"CR kept", "[General]\ra=1\r", "\r", "[General]\ra=1\rk=v\r"},
        {"LF kept", "[General]\na=1\n", "\n", "[General]\na=1\nk=v\n"},
        {"last line without line end", "[General]\na=1", "\n", "[General]\na=1\nk=v\n"},
        {"header without line end", "[General]", "\r", "[General]\rk=v\r"},
        {"later section: under the header", "[General]\r\na=1\r\n[Other]\r\nb=2\r\n", "\r\n",
         "[General]\r\nk=v\r\na=1\r\n[Other]\r\nb=2\r\n"},
        {"replace, last section", "[General]\r\nk=old\r\na=1\r\n", "\r\n",
         "[General]\r\na=1\r\nk=v\r\n"},
        {"replace, later section keeps its own k", "[General]\na=1\nk=old\n[Other]\nk=x\n", "\n",
         "[General]\nk=v\na=1\n[Other]\nk=x\n"},
        {"replace a last line without line end", "[General]\r\na=1\r\nk=old", "\r\n",
         "[General]\r\na=1\r\nk=v\r\n"},
        {"new section appended", "[Other]\r\nb=2\r\n", "\r\n",
         "[Other]\r\nb=2\r\n\r\n[General]\r\nk=v\r\n"},
        {"key before first section untouched", "k=top\n[General]\na=1\n", "\n",
         "k=top\n[General]\na=1\nk=v\n"},
        {"header text inside a value is no header", "[Other]\nx=[General]\n[General]\na=1\n", "\n",
         "[Other]\nx=[General]\n[General]\na=1\nk=v\n"},
        {"blank lines kept", "[General]\r\n\r\na=1\r\n\r\n", "\r\n",
         "[General]\r\n\r\na=1\r\n\r\nk=v\r\n"},
        {"leading blank lines not written", "\n\n[General]\na=1\n", "\n", "[General]\na=1\nk=v\n"},
        // A byte-order mark is read past (the first section is found) and kept.
        {"BOM kept, first section found", "\xEF\xBB\xBF[General]\r\nk=old\r\na=1\r\n", "\r\n",
         "\xEF\xBB\xBF[General]\r\na=1\r\nk=v\r\n"},
        {"BOM before leading blank lines", "\xEF\xBB\xBF\n[General]\na=1\n", "\n",
         "\xEF\xBB\xBF[General]\na=1\nk=v\n"},
        {"BOM alone", "\xEF\xBB\xBF", "\r", "\xEF\xBB\xBF[General]\rk=v\r"},
        // The first line end decides, not a CR that a value holds (which
        // the store reads as a line end, and writes as the file's own).
        {"stray CR in an LF file", "[General]\na=x\ry\nb=2\n", "\n",
         "[General]\na=x\ny\nb=2\nk=v\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string file = dir.file("Glyphoria.ini");
        if (c.before) {
            ASSERT_TRUE(WriteFileBytes(file, c.before));
        }
        PrefsStore store;
        ASSERT_EQ(0, store.Load(file.c_str()));
        EXPECT_STREQ(c.line_end, store.line_end());
        ASSERT_EQ(0, store.SetString(kGeneralSection, "k", "v"));
        EXPECT_EQ("v", Get(store, kGeneralSection, "k"));
        ASSERT_EQ(0, store.Save());
        EXPECT_EQ(c.after, ReadFileBytes(file));

        PrefsStore reloaded;
        ASSERT_EQ(0, reloaded.Load(file.c_str()));
        EXPECT_EQ("v", Get(reloaded, kGeneralSection, "k"));
    }
}

TEST(PrefsStoreGet, Lookups) {
    TempDir dir;
    const std::string file = dir.file("p.ini");
    ASSERT_TRUE(WriteFileBytes(file,
                               "top=0\r\n[General]\r\nsize=12\r\nname=\r\nurl=http://x/?a=b\r\n"
                               "[Other]\r\nonly=1\r\n[General2]\r\nz=9"));
    PrefsStore store;
    ASSERT_EQ(0, store.Load(file.c_str()));
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"General", "size", "12"},        {"General", "ize", "<missing>"},  // tail of another key
        {"General", "name", ""},          {"General", "url", "http://x/?a=b"},
        {"General", "only", "<missing>"},                          // lives in a later section
        {"General", "top", "<missing>"},                           // before the first section
        {"Other", "only", "1"},           {"General2", "z", "9"},  // last line without line end
        {"General", "z", "<missing>"},    {"general", "size", "<missing>"},  // case matters
        {"Missing", "size", "<missing>"}, {"General", "size=12", "<missing>"},
        {"General", "", "<missing>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(c.expected, Get(store, c.section, c.key));
    }
    char untouched[8] = "same";
    EXPECT_EQ(kPrefsNotFound, store.GetString("General", "nope", untouched, sizeof untouched));
    EXPECT_STREQ("same", untouched);
    EXPECT_EQ(2, store.GetString("General", "size", untouched, sizeof untouched));
}

TEST(PrefsStoreGet, LongValueIsCutToCapacity) {
    PrefsStore store;
    TempDir dir;
    ASSERT_EQ(0, store.Load(dir.file("p.ini").c_str()));
    const std::string value(300, 'x');
    ASSERT_EQ(0, store.SetString("General", "long", value.c_str()));
    char buf[kValueBufferSize + 4];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(300, store.GetString("General", "long", buf, kValueBufferSize));
    EXPECT_EQ(std::string(255, 'x'), std::string(buf));
    EXPECT_EQ('#', buf[kValueBufferSize]);  // nothing past the capacity
    EXPECT_EQ(300, store.GetString("General", "long", nullptr, 0));
}

TEST(PrefsStoreGet, Floats) {
    TempDir dir;
    const std::string file = dir.file("p.ini");
    ASSERT_TRUE(WriteFileBytes(file,
                               "[General]\nempty=\nzero=0\nfrac=1.5x\nneg= -2.25\nplus=+3\n"
                               "word=abc\nexp=1e2\ncomma=1,5\ntwosigns=--2\nmixed=+-2\n"));
    PrefsStore store;
    ASSERT_EQ(0, store.Load(file.c_str()));
    struct Case {
        const char* key;
        double expected;
    } cases[] = {{"missing", 7.0}, {"empty", 7.0},    {"zero", 0.0}, {"frac", 1.5},
                 {"neg", -2.25},   {"plus", 3.0},     {"word", 0.0}, {"exp", 100.0},
                 {"comma", 1.0},   {"twosigns", 0.0}, {"mixed", 0.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_DOUBLE_EQ(c.expected, store.GetFloat("General", c.key, 7.0));
    }
}

TEST(PrefsStoreSet, RefusesKeysAndValuesThatWouldInjectLines) {
    TempDir dir;
    const std::string file = dir.file("p.ini");
    ASSERT_TRUE(WriteFileBytes(file, "[General]\r\na=1\r\n"));
    PrefsStore store;
    ASSERT_EQ(0, store.Load(file.c_str()));
    const std::string before(store.text(), store.length());
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        int expected;
    } cases[] = {
        {"General", "", "v", kPrefsBadKey},
        {"General", nullptr, "v", kPrefsBadKey},
        {"General", "a\rb", "v", kPrefsBadKey},
        {"General", "a\nb", "v", kPrefsBadKey},
        {"General", "a=b", "v", kPrefsBadKey},
        {"General", "[Evil]", "v", kPrefsBadKey},
        {"", "k", "v", kPrefsBadKey},
        {nullptr, "k", "v", kPrefsBadKey},
        {"Gen]eral", "k", "v", kPrefsBadKey},
        {"Gen\neral", "k", "v", kPrefsBadKey},
        {"General", "k", "v\r\n[Evil]\r\nx=1", kPrefsBadValue},
        {"General", "k", "v\nsearch=http://evil", kPrefsBadValue},
        {"General", "k", "v\r", kPrefsBadValue},
        {"General", "k", nullptr, kPrefsBadValue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key ? c.key : "(null)");
        EXPECT_EQ(c.expected, store.SetString(c.section, c.key, c.value));
        EXPECT_EQ(before, std::string(store.text(), store.length()));
    }
    // Characters that are harmless inside a line are kept as they are.
    ASSERT_EQ(0, store.SetString("General", "k", "=[x] ?a=b&c"));
    EXPECT_EQ("=[x] ?a=b&c", Get(store, "General", "k"));
}

TEST(PrefsStoreSet, ValuesFarBeyondTheReserve) {
    TempDir dir;
    const std::string file = dir.file("p.ini");
    PrefsStore store;
    ASSERT_EQ(0, store.Load(file.c_str()));
    const std::string huge(3 * kPrefsGrowStep + 17, 'h');
    ASSERT_EQ(0, store.SetString("General", "huge", huge.c_str()));
    for (int i = 0; i < 200; ++i) {
        const std::string key = "key" + std::to_string(i);
        ASSERT_EQ(0,
                  store.SetString("General", key.c_str(), std::string(100, 'a' + i % 26).c_str()));
    }
    ASSERT_EQ(0, store.SetString("Other", "x", "1"));
    ASSERT_EQ(0, store.Save());

    PrefsStore reloaded;
    ASSERT_EQ(0, reloaded.Load(file.c_str()));
    EXPECT_EQ(static_cast<int>(huge.size()), reloaded.GetString("General", "huge", nullptr, 0));
    EXPECT_EQ(std::string(100, 'a' + 199 % 26), Get(reloaded, "General", "key199"));
    EXPECT_EQ("1", Get(reloaded, "Other", "x"));
    EXPECT_EQ(0u, ReadFileBytes(file).find("[General]\r\nhuge=hhh"));
}

TEST(PrefsStoreSet, ReplacingNeverDuplicates) {
    TempDir dir;
    PrefsStore store;
    ASSERT_EQ(0, store.Load(dir.file("p.ini").c_str()));
    for (const char* v : {"1", "22", "", "333"})
        ASSERT_EQ(0, store.SetString("General", "k", v));
    ASSERT_EQ(0, store.SetString("Other", "k", "o"));
    ASSERT_EQ(0, store.SetString("General", "k", "4"));
    EXPECT_EQ("\r\r[General]\r\rk=4\r\r\r\r[Other]\r\rk=o\r\r",
              std::string(store.text(), store.length()));
}

TEST(PrefsStoreLoad, PathGetsIniExtension) {
    TempDir dir;
    struct Case {
        std::string given;
        std::string expected;
    } cases[] = {
        {dir.file("prefs.txt"), dir.file("prefs.ini")},
        {dir.file("prefs"), dir.file("prefs.ini")},
        {dir.file("prefs.INI"), dir.file("prefs.INI")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        PrefsStore store;
        ASSERT_EQ(0, store.Load(c.given.c_str()));
        EXPECT_EQ(c.expected, store.path());
    }
}

TEST(PrefsStoreSave, TooLongPathIsNotCutIntoAnotherFile) {
    TempDir dir;
    const std::string path = dir.path() + "/" + std::string(kPathBufferSize, 'p') + ".ini";
    PrefsStore store;
    ASSERT_EQ(0, store.Load(path.c_str()));
    EXPECT_STREQ("", store.path());
    ASSERT_EQ(0, store.SetString("General", "k", "v"));
    EXPECT_EQ(kPrefsWriteFailed, store.Save());
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// A failed save keeps both the old file and the settings in memory. Full
// disks and folders that refuse writes come from the platform's test hooks,
// so they fail for root as well.
TEST(PrefsStoreSave, FailureKeepsOldFileAndMemory) {
    TempDir dir;
    struct Case {
        const char* name;
        long long write_budget;
        unsigned folder_faults;
    } cases[] = {
        {"disk full", 4, 0},
        {"folder refuses writes", -1, platform::kFaultWrite},
    };
    const std::string file = dir.file("Glyphoria.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(file, "[General]\r\nold=1\r\n"));
        PrefsStore store;
        ASSERT_EQ(0, store.Load(file.c_str()));
        ASSERT_EQ(0, store.SetString("General", "new", "2"));
        const std::string memory(store.text(), store.length());
        platform::SetPathFaultForTesting(dir.path(), c.folder_faults);
        platform::SetWriteBudgetForTesting(c.write_budget);
        EXPECT_EQ(kPrefsWriteFailed, store.Save());
        platform::SetWriteBudgetForTesting(-1);
        platform::ClearPathFaultsForTesting();
        EXPECT_EQ("[General]\r\nold=1\r\n", ReadFileBytes(file));
        EXPECT_EQ(memory, std::string(store.text(), store.length()));
        EXPECT_EQ(1, std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
    }
}

// A file that exists but cannot be read (or written) runs the store on
// defaults and is never written over.
TEST(PrefsStoreSave, UnreadableOrReadOnlyFileIsNotReplaced) {
    for (unsigned fault : {platform::kFaultRead, platform::kFaultWrite}) {
        SCOPED_TRACE(fault);
        TempDir dir;
        const std::string file = dir.file("p.ini");
        ASSERT_TRUE(WriteFileBytes(file, "[General]\nkeep=1\n"));
        platform::SetPathFaultForTesting(file, fault);
        PrefsStore store;
        ASSERT_EQ(0, store.Load(file.c_str()));
        EXPECT_EQ(fault == platform::kFaultRead ? "<missing>" : "1", Get(store, "General", "keep"));
        ASSERT_EQ(0, store.SetString("General", "k", "v"));
        EXPECT_EQ(kPrefsWriteFailed, store.Save());
        platform::ClearPathFaultsForTesting();
        EXPECT_EQ("[General]\nkeep=1\n", ReadFileBytes(file));
    }
}

TEST(PrefsDefaults, PathAndProcessStore) {
    const std::string folder = testing::UserAppDataFolder() + platform::kPathSeparator;
    char buf[kPathBufferSize];
    ASSERT_TRUE(DefaultPrefsPath(buf, sizeof buf));
    EXPECT_EQ(folder + "Glyphoria.ini", buf);
    ASSERT_TRUE(DefaultPrefsPath(buf, sizeof buf, "Other"));
    EXPECT_EQ(folder + "Other.ini", buf);
    char small[8] = "keep";
    EXPECT_FALSE(DefaultPrefsPath(small, sizeof small));
    EXPECT_EQ(&Prefs(), &Prefs());
}

}  // namespace
}  // namespace glyphoria
