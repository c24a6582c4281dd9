#include "mac/plugin/mac_platform.h"

#include <memory>

#include "mac/bindings/mac_bindings.h"
#include "mac/headless/headless_hands.h"
#include "mac/headless/headless_seam.h"
#include "mac/headless/web_network.h"
#include "mac/mac_services.h"
#include "mac/try_controller.h"

namespace glyphoria::mac {

namespace {

struct Headless {
    HeadlessSeam seam;
    HeadlessHands hands{seam};
    NetWebNetwork network;
};

std::unique_ptr<Headless>& Current() {
    static std::unique_ptr<Headless> current;
    return current;
}

}  // namespace

void BringUpMacPlatform() {
    if (Current()) return;
    Current() = std::make_unique<Headless>();
    Headless& platform = *Current();
    platform.seam.nibs.network = &platform.network;
    MacServices services;
    platform.seam.bindSeam(&services);
    BindMacFlows(&services);
    SetMacServices(services);
}

void TakeDownMacPlatform() {
    if (!Current()) return;
    CloseSamplerWindow();
    Current()->seam.application.drain();
    SetMacServices(MacServices());
    Current().reset();
}

MacHands* PlatformHands() {
    return Current() ? &Current()->hands : nullptr;
}

bool PlatformOnScreen() {
    return false;
}

}  // namespace glyphoria::mac
