// What the test plug-in module counts, read by the tests through its export
// TestPlugInCounters. Identifiers of its implementations and actions.
#pragma once

#include <cstdint>

struct TestPlugInCounters {
    int registered = 0;
    int startups = 0;
    int shutdowns = 0;
    int idleRuns = 0;
    int actionsDone = 0;
    int extensionStartups = 0;
    int extensionShutdowns = 0;
    int selectionChanges = 0;
    std::uintptr_t hostWindow = 0;
    std::uint32_t pluginID = 0;
};

typedef TestPlugInCounters* (*TestPlugInCountersProc)();

constexpr std::uint32_t kTestSuiteIID = 0x7e5700;
constexpr std::uint32_t kTestIdleIID = 0x7e5701;
constexpr std::uint32_t kToggleAction = 0x7e5710;
constexpr std::uint32_t kSelectionAction = 0x7e5711;
