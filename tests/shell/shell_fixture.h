// The plug-in inside the host framework, in this process: the shell and the
// selection suite registered and described as the module does it, the
// module's file placed in a folder of the test's choice (so the web-window
// library beside it is found, or not), the example document open, a stand-in
// shop on loopback, every message box caught, every default-handler request
// caught, and the stand-in web-window library's test entries at hand.
//
// Each test case runs in a process of its own (CTest), as the plug-in's
// process-wide state (library handle, fetched flag) lives for the process.
//
// Windows (under Wine): the shop is the native one beside Wine
// (native_shop.h), and the preferences file and the log are the prefix's
// own, shared by every program: a test starts without them and puts back
// what was there when it ends.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/messages.h"
#include "tests/common/test_env.h"
#ifdef _WIN32
#include "tests/shell/native_shop.h"
#else
#include "testing/shop/shop.h"
#endif

namespace glyphoria::shelltest {

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Registers the plug-in with its module file in folder (default: the
    // folder where the web-window library is built) and runs start-up.
    void StartPlugIn(const std::string& folder = "");
    void RunIdle();
    void ShutDown();

    // The preferences file the plug-in reads at start-up and writes.
    std::string PrefsPath() const;
    // Writes "General" values into the preferences file (before start-up).
    void WritePrefs(const std::vector<std::pair<std::string, std::string>>& values);
    std::string StoredPref(const std::string& key) const;  // from the file
    std::string LogText() const;

    int32_t Act(const char* action, const char* argument = nullptr);
    int32_t Control(const char* setting, const char* value = nullptr);
    std::vector<std::string> Record() const;                           // every line
    std::vector<std::string> RecordOf(const std::string& kind) const;  // lines of a kind
    int MainCalls(const std::string& command) const;

    // Menu entry state and name after the plug-in updated them.
    int16_t MenuState(uint32_t action, std::string* name = nullptr) const;
    bool RunMenu(uint32_t action);

    int ConfigFetches() const;  // requests for the configuration document

#ifdef _WIN32
    std::unique_ptr<NativeShop> shop;
#else
    std::unique_ptr<testing::shop::Shop> shop;
#endif
    std::vector<ShownMessage> messages;
    std::vector<std::string> opened;  // default-handler requests

  private:
    // The shared files' bytes before the test (Windows), put back after.
    std::vector<std::pair<std::string, std::string>> kept_files_;
};

std::string ModuleDir();
std::string WebWindowLibrary();

}  // namespace glyphoria::shelltest
