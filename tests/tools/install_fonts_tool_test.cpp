// glyphoria install-fonts, run as a separate program on an archive of real
// fonts made by the zip program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/common/test_env.h"

namespace {

namespace fs = std::filesystem;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

const char* const kFont = "/usr/share/fonts/opentype/cantarell/Cantarell-Bold.otf";

struct Result {
    int status;
    std::string out;
};

// Arguments are quoted for the shell; none of them holds a single quote.
Result RunTool(const TempDir& dir, const std::string& args) {
    const std::string out = dir.file("stdout.txt");
    const std::string rc = dir.file("rc.txt");
    const std::string command = std::string("'") + GLYPHORIA_TOOL_PATH + "' " + args + " >'" + out +
                                "' 2>/dev/null; echo $? >'" + rc + "'";
    if (std::system(command.c_str()) != 0) return {-1, ""};
    return {std::atoi(ReadFileBytes(rc).c_str()), ReadFileBytes(out)};
}

TEST(InstallFontsTool, InstallsWithTheArchivesDatesThenReportsThemAsInstalled) {
    if (!fs::exists(kFont) || std::system("zip -v >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs " << kFont << " and the zip program";
    TempDir dir;
    fs::create_directories(dir.file("src/Fonts"));
    fs::copy_file(kFont, dir.file("src/Fonts/Cantarell-Bold.otf"));
    ASSERT_TRUE(WriteFileBytes(dir.file("src/Fonts/Readme.txt"), "read me"));
    // zip stores local time; in UTC that is the date the font gets back.
    const std::string make = "cd '" + dir.file("src") +
                             "' && TZ=UTC touch -d '2011-03-15 10:20:30' Fonts/Cantarell-Bold.otf"
                             " && TZ=UTC zip -q -r ../fonts.zip Fonts";
    ASSERT_EQ(std::system(make.c_str()), 0);
    const std::string args =
        "install-fonts '" + dir.file("fonts.zip") + "' --fonts-dir '" + dir.file("installed") + "'";
    fs::create_directory(dir.file("installed"));

    Result first = RunTool(dir, args);
    Result second = RunTool(dir, args);

    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.out,
              "skipped: Fonts/ (not an OpenType font)\n"
              "installed: Cantarell-Bold.otf\n"
              "skipped: Fonts/Readme.txt (not an OpenType font)\n");
    EXPECT_EQ(ReadFileBytes(dir.file("installed/Cantarell-Bold.otf")), ReadFileBytes(kFont));
    const std::string stat = "TZ=UTC stat -c %y '" + dir.file("installed/Cantarell-Bold.otf") +
                             "' | grep -q '^2011-03-15 10:20:30'";
    EXPECT_EQ(std::system(stat.c_str()), 0);
    EXPECT_EQ(second.status, 1);  // installed nothing: every font was there
    EXPECT_EQ(second.out,
              "skipped: Fonts/ (not an OpenType font)\n"
              "already installed: Cantarell-Bold.otf\n"
              "skipped: Fonts/Readme.txt (not an OpenType font)\n");
}

TEST(InstallFontsTool, ExitStatusAndNamesWithoutControlCharacters) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("not.zip"), "plain text"));
    const std::string in = " --fonts-dir '" + dir.path() + "'";
    const struct {
        std::string args;
        int status;
    } cases[] = {
        {"install-fonts '" + dir.file("not.zip") + "'" + in, 1},
        {"install-fonts '" + dir.file("missing.zip") + "'" + in, 1},
        {"install-fonts", 2},
        {"install-fonts a.zip b.zip", 2},
        {"install-fonts a.zip --fonts-dir", 2},
        {"install-fonts a.zip --force", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(RunTool(dir, c.args).status, c.status);
    }
    // An entry name must not reach the terminal as an escape sequence.
    const std::string make =
        "python3 -c \"import sys, zipfile; z = zipfile.ZipFile(sys.argv[1], "
        "'w'); z.writestr('x\\x1b]2;owned\\x07.txt', b''); z.close()\" '" +
        dir.file("c.zip") + "' 2>/dev/null";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "no python3";
    Result r = RunTool(dir, "install-fonts '" + dir.file("c.zip") + "'" + in);
    EXPECT_EQ(r.status, 1);  // nothing installed
    EXPECT_EQ(r.out, "skipped: x?]2;owned?.txt (not an OpenType font)\n");
}

// An archive that installs nothing is a failure, and every entry says why.
TEST(InstallFontsTool, NamesEachReasonAndFailsWhenNothingWasInstalled) {
    TempDir dir;
    const std::string long_name = std::string(600, 'n') + ".otf";
    const std::string make =
        "python3 -c \"import sys, zipfile\n"
        "font = b'OTTO\\0\\1\\0\\x10\\0\\0\\0\\0name' + bytes(12)\n"
        "z = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)\n"
        "z.writestr('Zero.otf', bytes(1000))\n"
        "z.writestr('Huge.otf', font + bytes(64 << 20))\n"
        "z.writestr('" +
        long_name +
        "', font)\n"
        "z.writestr('Blocked.otf', font)\n"
        "z.writestr('Old.otf', font)\n"
        "z.close()\n"
        "z = zipfile.ZipFile(sys.argv[2], 'w')\n"
        "z.writestr('New.otf', font)\n"
        "z.close()\" '" +
        dir.file("none.zip") + "' '" + dir.file("one.zip") + "' 2>/dev/null";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "no python3";
    const std::string fonts = dir.file("fonts");
    fs::create_directories(fonts + "/Blocked.otf");  // a folder in the font's place
    ASSERT_TRUE(WriteFileBytes(fonts + "/Old.otf", "installed before"));
    const std::string in = " --fonts-dir '" + fonts + "'";

    Result none = RunTool(dir, "install-fonts '" + dir.file("none.zip") + "'" + in);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out,
              "skipped: Zero.otf (not a font)\n"
              "skipped: Huge.otf (too large: over 64 MB)\n"
              "skipped: " +
                  long_name.substr(0, 511) +
                  " (name too long)\n"
                  "skipped: Blocked.otf (cannot be written)\n"
                  "already installed: Old.otf\n");
    EXPECT_EQ(ReadFileBytes(fonts + "/Old.otf"), "installed before");

    Result one = RunTool(dir, "install-fonts '" + dir.file("one.zip") + "'" + in);
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, "installed: New.otf\n");
}

}  // namespace
