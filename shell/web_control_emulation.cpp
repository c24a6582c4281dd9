#include "shell/web_control_emulation.h"

#include "platform/process.h"
#include "platform/registry.h"
#include "support/limits.h"
#include "support/log.h"

namespace glyphoria {

namespace {

constexpr const char* kEmulationKey =
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
constexpr unsigned kStandardsModeVersion8 = 8000;

}  // namespace

void SetWebControlEmulation() {
    // The value is named after the program that hosts the control: whatever
    // executable this process runs.
    char executable[kPathBufferSize];
    if (!platform::ExecutableFileName(executable, sizeof executable)) return;
    platform::RegistryWrite write = platform::SetRegistryDword(
        platform::kHiveLocalMachine, kEmulationKey, executable, kStandardsModeVersion8);
    if (!write.key_opened) return;
    LogMessage("setFeatureControl: err = %d\r", static_cast<int>(write.result));
}

}  // namespace glyphoria
