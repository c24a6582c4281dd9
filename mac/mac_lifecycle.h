// The Mac start-up, idle task, shutdown and about box, over the host calls
// the shell binds.
//
// Start-up: the plug-in bundle is recorded, "Glyphoria 1.28, CS 55" goes to
// the system log, the string dictionary is loaded for German (code 3) with
// its fallbacks, the preferences are opened, the log is opened in mode 0 and
// the idle task is installed. The idle task runs once: a "shortcut"
// preference of exactly one character is bound to the sampler toggle with
// modifier 4096. Shutdown closes the sampler window and writes nothing.
#pragma once

#include <boost/function.hpp>
#include <cstdint>

namespace glyphoria::mac {

constexpr int kSamplerToggleAction = 0x159842;
constexpr int kMacShortcutModifier = 4096;
// The host's end-of-time value: the idle task does not run again.
constexpr std::uint32_t kIdleTaskDone = 0xFFFFFFFFu;

struct MacHostCalls {
    // Finds the plug-in bundle by its identifier; false when it is not there.
    boost::function<bool()> record_bundle;
    boost::function<void()> install_idle_task;
    // action, context, character code, modifiers
    boost::function<void(int, const char*, std::uint32_t, int)> bind_shortcut;
};

void MacStartup(const MacHostCalls& host);
std::uint32_t MacRunTask(const MacHostCalls& host);
void MacShutdown();
// The about box: "Glyphoria 1.28" with the localised "copyright" below.
void MacShowAbout();

}  // namespace glyphoria::mac
