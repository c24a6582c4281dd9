#include "tests/mac/mac_test_env.h"

#include <ctime>

#include "mac/mac_alerts.h"
#include "mac/mac_folders.h"
#include "mac/mac_log.h"
#include "mac/mac_strings.h"
#include "mac/plist_prefs.h"
#include "mac/try_controller.h"
#include "mac/vendor_addresses.h"

namespace glyphoria::mac {

namespace {
std::tm FixedTime() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 12;
    t.tm_min = 34;
    t.tm_sec = 56;
    return t;
}
}  // namespace

void MacTest::SetUp() {
    SetApplicationSupportFolder(support_.path());
    SetMacLogClock(&FixedTime);
    SetSystemLogSink([this](const std::string& line) { system_log_.push_back(line); });
    OpenMacLogInFolder(1, documents_.path());
    OpenMacPrefs();
    LoadMacStrings(0);
    SetMessageDetailText("");
    mac_.install();
}

void MacTest::TearDown() {
    CloseSamplerWindow();
    mac_.application.drain();
    SetVendorServer("");
    SetMessageDetailText("");
    CloseMacLog();
    SetMacLogClock({});
    SetSystemLogSink({});
    SetApplicationSupportFolder("");
}

std::string MacTest::LogText() const {
    return testing::ReadFileBytes(MacLogPath());
}

std::vector<std::string> MacTest::AlertMessages() const {
    std::vector<std::string> out;
    for (const auto& alert : mac_.alerts.shown())
        out.push_back(alert.message);
    return out;
}

bool MacTest::Logged(const std::string& text) const {
    return LogText().find(": " + text + "\n") != std::string::npos;
}

}  // namespace glyphoria::mac
