// The shell folders on Windows, checked against the environment the system
// sets up for the user (%USERPROFILE%, %APPDATA%, %LOCALAPPDATA%, %TMP%).
#include "platform/folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win32/windows_api.h"
#include "tests/common/test_env.h"

namespace glyphoria::platform {
namespace {

using testing::TempDir;

std::string Folder(int id) {
    char buf[512];
    if (!GetShellFolder(id, buf, sizeof buf)) return "<none>";
    return buf;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "<unset>";
}

bool IsFolder(const std::string& utf8) {
    DWORD attributes = GetFileAttributesW(win32::Widen(utf8.c_str()).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Win32Folders, UserFolders) {
    struct Case {
        int folder;
        std::string expected;
    } cases[] = {
        {kFolderPersonal, Env("USERPROFILE") + "\\Documents"},
        {kFolderAppData, Env("APPDATA")},
        {kFolderDownloads, Env("USERPROFILE") + "\\Downloads"},
        {kFolderFonts, Env("LOCALAPPDATA") + "\\Microsoft\\Windows\\Fonts"},
        // The test main's own temporary folder, without GetTempPath's "\".
        {kFolderTemp, testing::TestHome() + "\\tmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(c.expected, Folder(c.folder));
        EXPECT_TRUE(IsFolder(c.expected));  // the fonts folder is made when missing
    }
}

TEST(Win32Folders, NonAsciiPathsComeBackAsUtf8) {
    TempDir dir;
    const std::wstring wide = win32::Widen(dir.path().c_str()) + L"\\T\u00E9mp \u65E5\u672C";
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
    std::wstring old(MAX_PATH, L'\0');
    old.resize(GetEnvironmentVariableW(L"TMP", old.data(), MAX_PATH));
    ASSERT_TRUE(SetEnvironmentVariableW(L"TMP", (wide + L"\\").c_str()));
    const std::string folder = Folder(kFolderTemp);
    SetEnvironmentVariableW(L"TMP", old.c_str());
    EXPECT_EQ(dir.path() + "\\T\xC3\xA9mp \xE6\x97\xA5\xE6\x9C\xAC", folder);
}

TEST(Win32Folders, RefusesWhatDoesNotFit) {
    const std::string appdata = Folder(kFolderAppData);
    std::string buf(appdata.size(), '#');  // one byte short of the NUL
    EXPECT_FALSE(GetShellFolder(kFolderAppData, buf.data(), buf.size()));
    EXPECT_EQ('\0', buf[0]);
    buf.assign(appdata.size() + 1, '#');
    EXPECT_TRUE(GetShellFolder(kFolderAppData, buf.data(), buf.size()));
    EXPECT_EQ(appdata, buf.c_str());
}

}  // namespace
}  // namespace glyphoria::platform
