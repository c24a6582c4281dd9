// A module whose string tables are stored one per language suffix, without
// a plain "MyStrings", and that carries default preferences ("Prefs" of
// type "ini"): this program's own resource table (tests/support/CMakeLists.txt)
// stands in for the module's.
#include <gtest/gtest.h>

#include <string>

#include "support/prefs_store.h"
#include "support/string_table.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

TEST(StringTableSuffix, EachLanguageCodeFindsItsTableElseTheEnglishOne) {
    struct Case {
        int code;
        const char* table;
    } cases[] = {
        {3, "MyStrings_D"},
        {1, "MyStrings_F"},
        {5, "MyStrings_E"},  // no "_N": English
        {0, "MyStrings_E"},  // no suffix at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        SetLanguageCode(c.code);
        ASSERT_EQ(0, LoadStrings());
        char text[256];
        GetLocalizedText("which", text);
        EXPECT_STREQ(c.table, text);
    }
    SetLanguageCode(0);
}

TEST(PrefsDefault, AMissingFileStartsFromTheEmbeddedPreferences) {
    testing::TempDir dir;
    const std::string path = dir.file("Glyphoria.ini");
    char value[256];
    PrefsStore store;
    ASSERT_EQ(0, store.Load(path.c_str()));
    ASSERT_EQ(21, store.GetString("General", "homepage", value, sizeof value));
    EXPECT_STREQ("http://prefs.example/", value);
    ASSERT_EQ(0, store.SetString("General", "search", "http://s.example/"));
    ASSERT_EQ(0, store.Save());
    EXPECT_EQ(
        "[General]\r\nhomepage=http://prefs.example/\r\nshortcut=G\r\nsearch=http://s.example/\r\n",
        testing::ReadFileBytes(path));

    // A file that is there is the whole store: the default does not mix in.
    ASSERT_TRUE(testing::WriteFileBytes(path, "[General]\r\nother=1\r\n"));
    PrefsStore existing;
    ASSERT_EQ(0, existing.Load(path.c_str()));
    EXPECT_EQ(-1, existing.GetString("General", "homepage", value, sizeof value));
}

}  // namespace
}  // namespace glyphoria
