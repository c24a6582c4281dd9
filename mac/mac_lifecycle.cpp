#include "mac/mac_lifecycle.h"

#include <string>

#include "mac/mac_alerts.h"
#include "mac/mac_log.h"
#include "mac/mac_strings.h"
#include "mac/plist_prefs.h"
#include "mac/try_controller.h"
#include "support/vendor_addresses.h"

namespace glyphoria::mac {

namespace {

constexpr int kGermanCode = 3;

// The one character of text, or 0 when it holds no character or more than
// one. Decodes UTF-8; a broken sequence counts as no character.
std::uint32_t SingleCharacter(const std::string& text) {
    if (text.empty()) return 0;
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    std::size_t length = lead < 0x80    ? 1
                         : lead >= 0xF0 ? 4
                         : lead >= 0xE0 ? 3
                         : lead >= 0xC0 ? 2
                                        : 0;
    if (length == 0 || text.size() != length) return 0;
    std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80) return 0;
        code = (code << 6) | (c & 0x3F);
    }
    return code;
}

}  // namespace

void MacStartup(const MacHostCalls& host) {
    if (host.record_bundle) host.record_bundle();
    SystemLog(ProductBanner());
    LoadMacStrings(kGermanCode);
    OpenMacPrefs();
    OpenMacLog(0);
    if (host.install_idle_task) host.install_idle_task();
}

std::uint32_t MacRunTask(const MacHostCalls& host) {
    const std::uint32_t key = SingleCharacter(MacPrefs().GetString("shortcut", ""));
    if (key && host.bind_shortcut)
        host.bind_shortcut(kSamplerToggleAction, "DefaultContext", key, kMacShortcutModifier);
    return kIdleTaskDone;
}

void MacShutdown() {
    CloseSamplerWindow();
}

void MacShowAbout() {
    SetMessageDetail("copyright");
    ShowMessage("%s %s", kProductName, kProductVersion);
}

}  // namespace glyphoria::mac
