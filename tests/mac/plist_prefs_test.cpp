#include "mac/plist_prefs.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "mac/mac_folders.h"
#include "platform/fs.h"
#include "tests/mac/mac_test_env.h"

namespace glyphoria::mac {
namespace {

// Runs a Python snippet with the file's path as argv[1]; its standard output.
std::string Python(const std::string& script, const std::string& path) {
    testing::TempDir dir;
    const std::string script_path = dir.file("script.py");
    testing::WriteFileBytes(script_path, script);
    const std::string command = "python3 '" + script_path + "' '" + path + "' 2>&1";
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
            out.append(buf, n);
        pclose(pipe);
    }
    return out;
}

class PlistPrefsTest : public MacTest {};

TEST_F(PlistPrefsTest, LivesInGlyphoriaUnderApplicationSupportWithFoldersMade) {
    testing::TempDir root;
    SetApplicationSupportFolder(root.file("deeper/Application Support"));
    OpenMacPrefs();
    EXPECT_EQ(root.file("deeper/Application Support/Glyphoria/Glyphoria.plist"), MacPrefs().path());
    EXPECT_TRUE(testing::PathExists(root.file("deeper/Application Support/Glyphoria")));
    EXPECT_FALSE(testing::PathExists(MacPrefs().path()));  // only a write makes the file
    EXPECT_TRUE(MacPrefs().SetString("k", "v", true));
    EXPECT_TRUE(testing::PathExists(MacPrefs().path()));
}

TEST_F(PlistPrefsTest, RoundTripReadByPlistlib) {
    PlistPrefs& prefs = MacPrefs();
    prefs.SetString("homepage", "http://home.test/?a=1&b=<2>", false);
    prefs.SetString("umlaut", "Schließen “quoted” …", false);
    prefs.SetString("empty", "", false);
    prefs.SetInt("install", 0, false);
    prefs.SetInt("negative", -42, false);
    ASSERT_TRUE(prefs.SetString("tryFrame", "10 20 300 200 0 0 1440 900", true));

    const std::string out = Python(
        "import json, plistlib, sys\n"
        "with open(sys.argv[1], 'rb') as f:\n"
        "    data = plistlib.load(f)\n"
        "print(json.dumps(data, sort_keys=True, ensure_ascii=True))\n",
        prefs.path());
    EXPECT_EQ(
        "{\"empty\": \"\", \"homepage\": \"http://home.test/?a=1&b=<2>\", \"install\": \"0\", "
        "\"negative\": \"-42\", \"tryFrame\": \"10 20 300 200 0 0 1440 900\", "
        "\"umlaut\": \"Schlie\\u00dfen \\u201cquoted\\u201d \\u2026\"}\n",
        out);
    // And back: a fresh store reads what it wrote.
    PlistPrefs reread;
    reread.Open(prefs.path(), "");
    EXPECT_EQ("Schließen “quoted” …", reread.GetString("umlaut", ""));
    EXPECT_EQ(-42, reread.GetInt("negative", 0));
}

TEST_F(PlistPrefsTest, ReadsWhatPlistlibWritesAndKeepsWhatItDoesNotKnow) {
    const std::string path = MacPrefs().path();
    Python(
        "import plistlib, sys\n"
        "with open(sys.argv[1], 'wb') as f:\n"
        "    plistlib.dump({'config': 'http://c.test/x.xml', 'number': 7,\n"
        "                   'list': ['a'], 'factor': '1.25'}, f)\n",
        path);
    PlistPrefs prefs;
    prefs.Open(path, "");
    EXPECT_EQ("http://c.test/x.xml", prefs.GetString("config", "default"));
    // Not a string: the default, though the value is a number.
    EXPECT_EQ("default", prefs.GetString("number", "default"));
    EXPECT_EQ(5, prefs.GetInt("number", 5));
    EXPECT_DOUBLE_EQ(1.25, prefs.GetFloat("factor", 0));
    ASSERT_TRUE(prefs.SetString("homepage", "h", true));
    EXPECT_EQ("7 ['a'] h\n", Python("import plistlib, sys\n"
                                    "d = plistlib.load(open(sys.argv[1], 'rb'))\n"
                                    "print(d['number'], d['list'], d['homepage'])\n",
                                    path));
}

TEST_F(PlistPrefsTest, NumberConversions) {
    struct Case {
        const char* text;
        long as_int;
        double as_float;
    } cases[] = {
        {"42", 42, 42.0},
        {"  42abc", 42, 42.0},
        {"-7", -7, -7.0},
        {"+3", 3, 3.0},
        {"1e2", 1, 100.0},
        {"1.5x", 1, 1.5},
        {"x", 0, 0.0},
        {"", 0, 0.0},
        {" -0.25", 0, -0.25},
        {".5", 0, 0.5},
        {"99999999999", 2147483647, 99999999999.0},
        {"-99999999999", -2147483648L, -99999999999.0},
        {"--2", 0, 0.0},
        {"+-2", 0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        MacPrefs().SetString("n", c.text, false);
        EXPECT_EQ(c.as_int, MacPrefs().GetInt("n", 99));
        EXPECT_DOUBLE_EQ(c.as_float, MacPrefs().GetFloat("n", 99));
    }
    EXPECT_EQ(99, MacPrefs().GetInt("missing", 99));
    EXPECT_DOUBLE_EQ(1.0, MacPrefs().GetFloat("missing", 1.0));
}

TEST_F(PlistPrefsTest, DecimalPointWhateverTheLocale) {
    testing::ScopedEnv lang("LC_ALL", "de_DE.UTF-8");
    std::setlocale(LC_ALL, "");
    MacPrefs().SetString("sampleSizeFactor", "1.5", false);
    EXPECT_DOUBLE_EQ(1.5, MacPrefs().GetFloat("sampleSizeFactor", 1));
    std::setlocale(LC_ALL, "C");
}

TEST_F(PlistPrefsTest, WriteFlagDecidesWhenTheFileChanges) {
    PlistPrefs& prefs = MacPrefs();
    ASSERT_TRUE(prefs.SetString("a", "1", true));
    const std::string before = testing::ReadFileBytes(prefs.path());
    prefs.SetString("b", "2", false);
    EXPECT_EQ(before, testing::ReadFileBytes(prefs.path()));
    prefs.SetString("c", "3", true);
    PlistPrefs reread;
    reread.Open(prefs.path(), "");
    EXPECT_EQ("2", reread.GetString("b", ""));
    EXPECT_EQ("3", reread.GetString("c", ""));
}

TEST_F(PlistPrefsTest, BundledDefaultIsCopiedOnlyWhenThereIsNoFile) {
    testing::TempDir bundle;
    const std::string bundled = bundle.file("Prefs.plist");
    testing::WriteFileBytes(bundled,
                            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<plist version=\"1.0\"><dict><key>shortcut</key><string>G</string>"
                            "</dict></plist>\n");
    const std::string path = support_.file("copied/Glyphoria.plist");
    PlistPrefs prefs;
    prefs.Open(path, bundled);
    EXPECT_EQ("G", prefs.GetString("shortcut", ""));
    EXPECT_EQ(testing::ReadFileBytes(bundled), testing::ReadFileBytes(path));

    prefs.SetString("shortcut", "H", true);
    PlistPrefs again;
    again.Open(path, bundled);
    EXPECT_EQ("H", again.GetString("shortcut", ""));
}

TEST_F(PlistPrefsTest, DamagedOrForeignFilesStartEmpty) {
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"not a property list", "hello"},
        {"cut short", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>"},
        {"an array at the top", "<plist version=\"1.0\"><array><string>a</string></array></plist>"},
        {"empty file", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = support_.file("damaged.plist");
        testing::WriteFileBytes(path, c.bytes);
        PlistPrefs prefs;
        prefs.Open(path, "");
        EXPECT_EQ("{\n}", prefs.Describe());
        EXPECT_EQ("d", prefs.GetString("a", "d"));
    }
}

TEST_F(PlistPrefsTest, UnreadableFileIsNotReplaced) {
    const std::string path = support_.file("locked.plist");
    const std::string kept =
        "<plist version=\"1.0\"><dict><key>a</key><string>1</string></dict></plist>";
    testing::WriteFileBytes(path, kept);
    // Root reads any file: the refusal comes from the platform's hook.
    platform::SetPathFaultForTesting(path, platform::kFaultRead);
    PlistPrefs prefs;
    prefs.Open(path, "");
    EXPECT_EQ("d", prefs.GetString("a", "d"));
    EXPECT_FALSE(prefs.SetString("b", "2", true));
    EXPECT_EQ("2", prefs.GetString("b", ""));  // memory keeps the value
    platform::ClearPathFaultsForTesting();
    EXPECT_EQ(kept, testing::ReadFileBytes(path));
}

// Preferences kept elsewhere through a link (a dotfiles folder) are written
// there with their mode, and the link stays; a FIFO in the file's place is
// neither waited on nor replaced.
TEST_F(PlistPrefsTest, LinkedFileIsWrittenThroughAndAFifoIsLeftAlone) {
    testing::TempDir dots;
    const std::string real = dots.file("Glyphoria.plist");
    testing::WriteFileBytes(real, "");
    ASSERT_EQ(0, chmod(real.c_str(), 0600));
    const std::string linked = support_.file("linked.plist");
    std::filesystem::create_symlink(real, linked);
    PlistPrefs prefs;
    prefs.Open(linked, "");
    EXPECT_TRUE(prefs.SetString("k", "v", true));
    EXPECT_TRUE(std::filesystem::is_symlink(linked));
    EXPECT_NE(std::string::npos, testing::ReadFileBytes(real).find("<string>v</string>"));
    EXPECT_EQ(std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
              std::filesystem::status(real).permissions());

    const std::string fifo = support_.file("fifo.plist");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    PlistPrefs blocked;
    blocked.Open(fifo, "");
    EXPECT_FALSE(blocked.SetString("k", "v", true));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(PlistPrefsTest, WriteIntoAFolderThatIsGoneReportsFailure) {
    PlistPrefs prefs;
    prefs.Open(support_.file("gone/x.plist"), "");
    // The folder was made on open; take it away so the write cannot happen.
    std::remove(support_.file("gone").c_str());
    EXPECT_TRUE(prefs.SetString("a", "1", false));
    EXPECT_FALSE(prefs.SetString("a", "2", true));
    EXPECT_EQ("2", prefs.GetString("a", ""));  // memory keeps the value
}

}  // namespace
}  // namespace glyphoria::mac
