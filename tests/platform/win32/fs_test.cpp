// The wide file functions behind platform/fs.h and the file utilities, with
// names outside every ANSI code page and the platform's own separator.
#include "platform/fs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/windows_api.h"
#include "support/file_utils.h"
#include "tests/common/test_env.h"

namespace glyphoria::platform {
namespace {

using testing::TempDir;

// "Grüße €" and "日本": no single 8-bit code page holds both.
const char kName[] =
    "Gr\xC3\xBC\xC3\x9F"
    "e \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC.txt";
const wchar_t kWideName[] = L"Gr\u00FC\u00DFe \u20AC \u65E5\u672C.txt";

struct Names {
    TempDir dir;
    std::string utf8 = dir.file(kName);
    // The same file, named through the wide functions directly.
    std::wstring wide = win32::Widen(dir.path().c_str()) + L"\\" + kWideName;
};

std::string ReadWide(const std::wstring& path) {
    std::FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return "<missing>";
    std::string bytes;
    char buf[64];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, file)) > 0;)
        bytes.append(buf, n);
    std::fclose(file);
    return bytes;
}

TEST(Win32Files, Utf8NamesReachTheWideFunctions) {
    Names names;
    std::FILE* file = OpenFile(names.utf8.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(5u, std::fwrite("hello", 1, 5, file));
    EXPECT_TRUE(FlushFile(file));
    std::fclose(file);
    EXPECT_EQ("hello", ReadWide(names.wide));

    PathInfo info = StatPath(names.utf8.c_str());
    EXPECT_TRUE(info.exists);
    EXPECT_FALSE(info.is_directory);
    EXPECT_EQ(5u, info.size);
    EXPECT_TRUE(StatPath(names.dir.path().c_str()).is_directory);
    EXPECT_FALSE(StatPath(names.dir.file("missing").c_str()).exists);
}

TEST(Win32Files, LinksAreFollowed) {
    Names names;
    ASSERT_TRUE(WriteWholeFile(names.utf8.c_str(), "hello", 5));
    const std::string link = names.dir.file("link \xE2\x82\xAC");
    const std::string dangling = names.dir.file("dangling");
    // Wine answers TRUE without making a link; Windows wants a privilege.
    const std::wstring wide_link = win32::Widen(link.c_str());
    if (!CreateSymbolicLinkW(wide_link.c_str(), names.wide.c_str(), 0) ||
        GetFileAttributesW(wide_link.c_str()) == INVALID_FILE_ATTRIBUTES ||
        !CreateSymbolicLinkW(win32::Widen(dangling.c_str()).c_str(), L"C:\\no\\such\\file", 0))
        GTEST_SKIP() << "no symbolic links here";
    PathInfo info = StatPath(link.c_str());
    EXPECT_TRUE(info.exists);
    EXPECT_FALSE(info.is_directory);
    EXPECT_EQ(5u, info.size);
    EXPECT_FALSE(StatPath(dangling.c_str()).exists);
    // A write through the link replaces the file it names; the link stays.
    // One that leads nowhere cannot say where to write and is refused.
    EXPECT_EQ(WriteTargetKind::kRegularFile, ResolveWriteTarget(link.c_str()).kind);
    EXPECT_TRUE(WriteWholeFileAtomic(link.c_str(), "new", 3));
    EXPECT_EQ("new", ReadWide(names.wide));
    EXPECT_NE(0u, GetFileAttributesW(wide_link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_FALSE(WriteWholeFileAtomic(dangling.c_str(), "new", 3));
}

TEST(Win32Files, ReadOnlyFilesAreMadeWritableAndRemoved) {
    Names names;
    ASSERT_TRUE(WriteWholeFile(names.utf8.c_str(), "x", 1));
    ASSERT_TRUE(SetFileAttributesW(names.wide.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(RemoveFile(names.utf8.c_str()));  // the system refuses a read-only file
    EXPECT_EQ(1u, FileSize(names.utf8.c_str()));
    EXPECT_TRUE(DeleteFileForce(names.utf8.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(names.wide.c_str()));
    EXPECT_TRUE(RemoveFile(names.utf8.c_str()));  // gone counts as removed
    EXPECT_FALSE(MakeWritable(names.utf8.c_str()));
}

TEST(Win32Files, FoldersReportTheSystemsErrors) {
    Names names;
    const std::string folder = names.dir.file("\xC3\x84rger");
    EXPECT_EQ(0, MakeFolder(folder.c_str()));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, MakeFolder(folder.c_str()));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, MakeFolder(names.dir.file("no/such").c_str()));
    EXPECT_EQ(0, CreateFolder(folder.c_str()));  // exists: nothing to do
    EXPECT_TRUE(StatPath(folder.c_str()).is_directory);
}

TEST(Win32Files, RenameReplacesAnExistingFile) {
    Names names;
    const std::string from = names.dir.file("new \xE2\x82\xAC.tmp");
    ASSERT_TRUE(WriteWholeFile(names.utf8.c_str(), "old", 3));
    ASSERT_TRUE(WriteWholeFile(from.c_str(), "new", 3));
    EXPECT_TRUE(RenameReplace(from.c_str(), names.utf8.c_str()));
    EXPECT_EQ("new", ReadWide(names.wide));
    EXPECT_FALSE(StatPath(from.c_str()).exists);
    EXPECT_FALSE(RenameReplace(from.c_str(), names.utf8.c_str()));
}

TEST(Win32Files, ExclusiveCreationNeverTruncates) {
    Names names;
    ASSERT_TRUE(WriteWholeFile(names.utf8.c_str(), "mine", 4));
    for (const char* mode : {"wx", "wbx", "w+bx"}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(nullptr, OpenFile(names.utf8.c_str(), mode));
        EXPECT_EQ("mine", ReadWide(names.wide));
    }
    const std::string fresh = names.dir.file("fresh \xC3\xA9.ini");
    std::FILE* file = OpenFile(fresh.c_str(), "wbx");
    ASSERT_NE(nullptr, file);
    std::fputs("a\nb", file);
    std::fclose(file);
    EXPECT_EQ("a\nb", testing::ReadFileBytes(fresh));   // binary: no CR added
    EXPECT_EQ(nullptr, OpenFile(fresh.c_str(), "rx"));  // "x" belongs to "w"
}

// The reserved names open a device in every folder, whatever the extension:
// nothing is opened or written through them, and no file appears. Names
// that only begin like one are files like any other.
TEST(Win32Files, DeviceNamesAreRefused) {
    TempDir dir;
    for (const char* name : {"NUL", "nul.ini", "CON", "Con.txt", "COM1", "com9.zip", "LPT1 .ini",
                             "AUX", "PRN.x.y", "CONOUT$"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name);
        EXPECT_EQ(WriteTargetKind::kRefused, ResolveWriteTarget(path.c_str()).kind);
        for (const char* mode : {"wb", "ab", "rb"})
            EXPECT_EQ(nullptr, OpenFile(path.c_str(), mode)) << mode;
        EXPECT_FALSE(WriteWholeFileAtomic(path.c_str(), "x", 1));
        EXPECT_FALSE(WriteWholeFile(path.c_str(), "x", 1));
    }
    EXPECT_FALSE(WriteWholeFileAtomic("\\\\.\\pipe\\glyphoria-test", "x", 1));
    EXPECT_FALSE(WriteWholeFileAtomic("//./NUL", "x", 1));
    std::vector<std::string> left;
    ASSERT_TRUE(ListFolder(dir.path().c_str(), &left));
    EXPECT_TRUE(left.empty());
    for (const char* name : {"NULL.ini", "COM10.txt", "CONSOLE", "nul-file.ini", "LPT.ini"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name);
        EXPECT_TRUE(WriteWholeFileAtomic(path.c_str(), "x", 1));
        EXPECT_EQ("x", testing::ReadFileBytes(path));
    }
}

// A replaced file keeps what belongs to its name: attributes such as hidden.
TEST(Win32Files, ReplacedFileKeepsItsAttributes) {
    Names names;
    ASSERT_TRUE(WriteWholeFile(names.utf8.c_str(), "old", 3));
    ASSERT_TRUE(SetFileAttributesW(names.wide.c_str(), FILE_ATTRIBUTE_HIDDEN));
    if (!(GetFileAttributesW(names.wide.c_str()) & FILE_ATTRIBUTE_HIDDEN))
        GTEST_SKIP() << "this file system keeps no hidden attribute";
    ASSERT_TRUE(WriteWholeFileAtomic(names.utf8.c_str(), "new", 3));
    EXPECT_EQ("new", ReadWide(names.wide));
    EXPECT_NE(0u, GetFileAttributesW(names.wide.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST(Win32Files, PathsBuiltWithTheDefaultSeparator) {
    TempDir dir;
    char path[512] = "";
    ASSERT_LT(dir.path().size(), sizeof path);
    dir.path().copy(path, dir.path().size());
    ASSERT_TRUE(AppendPathComponent(path, "Kestrelworks"));
    ASSERT_EQ(0, CreateFolder(path));
    ASSERT_TRUE(AppendPathComponent(path, "Glyphoria"));
    ASSERT_TRUE(AppendExtension(path, "txt"));
    ASSERT_TRUE(ReplaceExtension(path, ".ini"));
    EXPECT_EQ(dir.path() + "\\Kestrelworks\\Glyphoria.ini", path);
    ASSERT_TRUE(WriteWholeFile(path, "[General]\r\n", 11));
    EXPECT_EQ(11u, FileSize(path));
    char name[64];
    FileNameOfPath(path, name, sizeof name, false);
    EXPECT_STREQ("Glyphoria", name);
}

}  // namespace
}  // namespace glyphoria::platform
