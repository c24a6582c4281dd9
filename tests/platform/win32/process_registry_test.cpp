// The process facts, the registry write and module paths on Windows.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/library.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/win32/windows_api.h"

namespace {

namespace platform = glyphoria::platform;

// The key and the ancestors a fresh prefix may lack, innermost last.
const char* const kAncestors[] = {
    "SOFTWARE\\Microsoft\\Internet Explorer",
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main",
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl",
};
constexpr char kEmulationKey[] =
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

bool KeyExists(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The file name after the last backslash of the program's path: the value
// is named after the program whatever folder it runs from.
TEST(Win32Process, ExecutableFileNameIsTheLastPathPart) {
    char name[260];
    ASSERT_TRUE(platform::ExecutableFileName(name, sizeof name));
    EXPECT_STREQ("win32_tests.exe", name);
    char small[8];  // "win32_tests.exe" does not fit: nothing, not a cut name
    EXPECT_FALSE(platform::ExecutableFileName(small, sizeof small));
    EXPECT_STREQ("", small);
}

// Missing key: nothing written, nothing created. Present key: the value is
// written under the program's name and reads back. One test, so that no
// other test of this program sees the key half made.
TEST(Win32Registry, EmulationValueOnlyInAnExistingKey) {
    ASSERT_FALSE(KeyExists(kEmulationKey)) << "the prefix already has the key";
    bool existed[3];
    for (int i = 0; i < 3; ++i)
        existed[i] = KeyExists(kAncestors[i]);
    char name[260];
    ASSERT_TRUE(platform::ExecutableFileName(name, sizeof name));

    platform::RegistryWrite missing =
        platform::SetRegistryDword(platform::kHiveLocalMachine, kEmulationKey, name, 8000);
    EXPECT_FALSE(missing.key_opened);
    EXPECT_FALSE(KeyExists(kEmulationKey));

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEmulationKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    platform::RegistryWrite written =
        platform::SetRegistryDword(platform::kHiveLocalMachine, kEmulationKey, name, 8000);
    EXPECT_TRUE(written.key_opened);
    EXPECT_EQ(ERROR_SUCCESS, written.result);
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE, kEmulationKey, name, RRF_RT_ANY,
                                          &type, &value, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(8000u, value);

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEmulationKey));
    for (int i = 2; i >= 0; --i) {
        if (!existed[i]) {
            EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAncestors[i]));
        }
    }
}

// The module's own file, not the program's; no handle is no module.
TEST(Win32Library, ModuleFilePathNamesTheModule) {
    char path[1024];
    EXPECT_FALSE(platform::ModuleFilePath(nullptr, path, sizeof path));
    EXPECT_STREQ("", path);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    ASSERT_NE(nullptr, kernel);
    ASSERT_TRUE(platform::ModuleFilePath(kernel, path, sizeof path));
    std::string text = path;
    std::string tail = text.substr(text.find_last_of('\\') + 1);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ("kernel32.dll", tail);
    char small[4];
    EXPECT_FALSE(platform::ModuleFilePath(kernel, small, sizeof small));
}

// A popup's owner is its top level, through any number of owned popups: the
// foreground popup answers with the window at the top of the chain.
TEST(Win32Process, ForegroundWindowClimbsToItsOwner) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    HWND palette = CreateWindowExW(0, L"STATIC", L"palette", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50,
                                   owner, nullptr, nullptr, nullptr);
    HWND popup = CreateWindowExW(0, L"STATIC", L"popup", WS_POPUP | WS_VISIBLE, 20, 20, 30, 30,
                                 palette, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, palette);
    ASSERT_NE(nullptr, popup);
    SetForegroundWindow(popup);
    // CTest runs this under the desktop lock: nothing else takes the front.
    ASSERT_EQ(popup, GetForegroundWindow());
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(owner), platform::ForegroundTopLevelWindow());
    DestroyWindow(popup);
    DestroyWindow(palette);
    DestroyWindow(owner);
}

}  // namespace
