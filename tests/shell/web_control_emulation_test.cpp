// Start-up's registry step: the host program is named under the web
// control's emulation key only when the key exists, and the registry's
// answer goes into the log; without the key, and where there is no registry,
// nothing is written and nothing is logged.
#include <string>

#include "tests/shell/shell_fixture.h"

#ifdef _WIN32
#include "platform/win32/windows_api.h"
#endif

namespace glyphoria::shelltest {
namespace {

#ifdef _WIN32
constexpr char kEmulationKey[] =
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
constexpr char kFeatureControl[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl";

// The key for the length of a test, with the ancestors a fresh prefix lacks
// (the registry test of the Win32 layer expects it gone afterwards).
class ScopedEmulationKey {
  public:
    ScopedEmulationKey() {
        HKEY key = nullptr;
        feature_control_existed_ =
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFeatureControl, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
        key = nullptr;
        created_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEmulationKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                   nullptr, &key, nullptr) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
    }
    ~ScopedEmulationKey() {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEmulationKey);
        if (!feature_control_existed_) RegDeleteKeyA(HKEY_LOCAL_MACHINE, kFeatureControl);
    }
    bool created() const { return created_; }

  private:
    bool feature_control_existed_ = false;
    bool created_ = false;
};
#endif

TEST_F(ShellTest, WithoutTheEmulationKeyStartupWritesAndLogsNothing) {
    StartPlugIn();
    EXPECT_EQ(std::string::npos, LogText().find("setFeatureControl")) << LogText();
#ifdef _WIN32
    HKEY key = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEmulationKey, 0, KEY_READ, &key));
    if (key) RegCloseKey(key);
#endif
}

#ifdef _WIN32
TEST_F(ShellTest, AnExistingEmulationKeyGetsTheProgramsValueAndTheCodeIsLogged) {
    ScopedEmulationKey emulation;
    ASSERT_TRUE(emulation.created());
    StartPlugIn();
    EXPECT_NE(std::string::npos, LogText().find("setFeatureControl: err = 0\r")) << LogText();
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE, kEmulationKey, "shell_tests.exe",
                                          RRF_RT_ANY, &type, &value, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(8000u, value);
}
#endif

}  // namespace
}  // namespace glyphoria::shelltest
