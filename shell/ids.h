// The plug-in's identifiers in its own block, as the host's resource
// description and the code both use them, and the fixed numbers the shell
// reports.
#pragma once

#include <cstdint>

namespace glyphoria {

constexpr std::uint32_t kGlyphoriaPluginID = 0x159800;

// Menu actions.
constexpr std::uint32_t kAboutAction = 0x159840;
constexpr std::uint32_t kRestoreAction = 0x159841;
constexpr std::uint32_t kSamplerToggleAction = 0x159842;

// Interfaces (the selection suite's own are with the suite).
constexpr std::uint32_t kMyIdleTaskIID = 0x159841;

// Implementations (the selection suite's own are with the suite).
constexpr std::uint32_t kMyActionImpl = 0x159840;
constexpr std::uint32_t kMyStartupShutdownImpl = 0x159841;
constexpr std::uint32_t kMyIdleTaskImpl = 0x159842;

// The host version written to the log at start-up.
constexpr int kHostVersion = 55;
// The interface version the web-window library must answer.
constexpr std::int32_t kWebWindowInterfaceVersion = 28;

// The shortcut binds in this context with this modifier value.
constexpr const char* kShortcutContext = "DefaultContext";
constexpr std::int32_t kShortcutModifier = 1;

}  // namespace glyphoria
