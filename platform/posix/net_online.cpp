// The connection-state test over the network interfaces.
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <atomic>

#include "platform/net.h"

namespace glyphoria::platform {

namespace {

std::atomic<int> g_override{kOnlineAuto};

bool HasAddress(const ifaddrs* ifa) {
    return ifa->ifa_addr &&
           (ifa->ifa_addr->sa_family == AF_INET || ifa->ifa_addr->sa_family == AF_INET6);
}

bool SystemSaysOnline() {
    ifaddrs* list = nullptr;
    // Without an answer, do not lock the user out: the fetch itself will tell.
    if (getifaddrs(&list) != 0) return true;
    bool any_other = false;
    bool other_up = false;
    for (const ifaddrs* ifa = list; ifa; ifa = ifa->ifa_next) {
        if (ifa->ifa_flags & IFF_LOOPBACK) continue;
        any_other = true;
        const unsigned up = IFF_UP | IFF_RUNNING;
        if ((ifa->ifa_flags & up) == up && HasAddress(ifa)) other_up = true;
    }
    freeifaddrs(list);
    return other_up || !any_other;
}

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
            return SystemSaysOnline();
    }
}

}  // namespace glyphoria::platform
