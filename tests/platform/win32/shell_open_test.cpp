// The shell's "open" verb under Wine: a program opens (its path may hold
// blanks), and a target nothing can open fails at once, without the shell's
// error box, which would leave the caller waiting on a modal window.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/shell_open.h"
#include "platform/win32/windows_api.h"
#include "tests/common/test_env.h"

namespace {

namespace platform = glyphoria::platform;
using glyphoria::testing::PathExists;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;
using Clock = std::chrono::steady_clock;

bool CopyProbe(const std::string& to) {
    return CopyFileW(platform::win32::Widen(GLYPHORIA_OPEN_PROBE).c_str(),
                     platform::win32::Widen(to.c_str()).c_str(), FALSE) != 0;
}

// The program runs on its own; its mark shows it was started.
bool WaitForFile(const std::string& path) {
    for (auto end = Clock::now() + std::chrono::seconds(20); Clock::now() < end;) {
        if (PathExists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST(Win32ShellOpen, OpensAProgramWhateverItsPath) {
    TempDir dir;
    for (const char* name : {"probe.exe", "open probe (copy).exe"}) {
        SCOPED_TRACE(name);
        const std::string program = dir.file(name);
        ASSERT_TRUE(CopyProbe(program));
        EXPECT_TRUE(platform::ShellOpen(program.c_str()));
        ASSERT_TRUE(WaitForFile(program + ".opened"));
        // Written by a separate process that may still be closing it.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ("opened", ReadFileBytes(program + ".opened"));
    }
}

TEST(Win32ShellOpen, WhatCannotBeOpenedFailsWithoutAWindow) {
    TempDir dir;
    const std::string unassociated = dir.file("sample.glyphoria-unknown");
    ASSERT_TRUE(WriteFileBytes(unassociated, "nothing opens this"));
    for (const std::string& target :
         {dir.file("missing.exe"), dir.file("no folder\\missing.txt"), unassociated}) {
        SCOPED_TRACE(target);
        const auto start = Clock::now();
        EXPECT_FALSE(platform::ShellOpen(target.c_str()));
        // A message box would wait for a click that never comes.
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    }
    EXPECT_FALSE(platform::ShellOpen(""));
    EXPECT_FALSE(platform::ShellOpen(nullptr));
}

}  // namespace
