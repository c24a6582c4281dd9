// The common ground of the Mac tests: the headless Mac bound as the
// services, Application Support and Documents in fresh folders, the log open
// with a fixed clock (08.12.2026 12:34:56) and the system log captured, the
// preferences opened empty and the English string file loaded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mac/headless/headless_mac.h"
#include "tests/common/test_env.h"

namespace glyphoria::mac {

class MacTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string LogText() const;
    // The alerts' messages, in order.
    std::vector<std::string> AlertMessages() const;
    // Whether the log holds a line ending in text (after the time stamp).
    bool Logged(const std::string& text) const;

    testing::TempDir support_;
    testing::TempDir documents_;
    testing::TempDir downloads_;
    std::vector<std::string> system_log_;
    HeadlessMac mac_;
};

}  // namespace glyphoria::mac
