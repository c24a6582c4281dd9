// The connection-state test: InternetGetConnectedState.
#include <atomic>

#include "platform/net.h"
#include "platform/win32/net_async.h"

namespace glyphoria::platform {

namespace {
std::atomic<int> g_override{kOnlineAuto};
}  // namespace

void SetOnlineOverride(OnlineOverride mode) {
    g_override = mode;
}

bool IsOnline() {
    switch (g_override.load()) {
        case kOnlineForceOn:
            return true;
        case kOnlineForceOff:
            return false;
        default:
            break;
    }
    DWORD flags = 0;
    // Online when the answer, taken as 16 bits, is exactly TRUE.
    BOOL state = InternetGetConnectedState(&flags, 0);
    return (static_cast<unsigned>(state) & 0xFFFFu) == 1u;
}

}  // namespace glyphoria::platform
