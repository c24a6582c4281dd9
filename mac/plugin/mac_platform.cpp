#include "mac/plugin/mac_platform.h"

#include <memory>

#include "mac/bindings/mac_bindings.h"
#include "mac/headless/headless_hands.h"
#include "mac/headless/headless_seam.h"
#include "mac/headless/web_network.h"
#include "mac/mac_log.h"
#include "mac/mac_services.h"
#include "mac/plugin/mac_script.h"
#include "mac/vendor_addresses.h"
#include "mac/try_controller.h"
#if GLYPHORIA_MAC_GTK
#include "mac/gtk/gtk_hands.h"
#include "mac/gtk/gtk_seam.h"
#endif

namespace glyphoria::mac {

namespace {

class Platform {
  public:
    virtual ~Platform() = default;
    virtual void bindSeam(MacServices* services) = 0;
    virtual MacHands& hands() = 0;
    virtual void drain() = 0;
    virtual bool onScreen() const = 0;
};

class HeadlessPlatform : public Platform {
  public:
    HeadlessPlatform() { seam_.nibs.network = &network_; }
    void bindSeam(MacServices* services) override { seam_.bindSeam(services); }
    MacHands& hands() override { return hands_; }
    void drain() override { seam_.application.drain(); }
    bool onScreen() const override { return false; }

  private:
    HeadlessSeam seam_;
    HeadlessHands hands_{seam_};
    NetWebNetwork network_;
};

#if GLYPHORIA_MAC_GTK
class GtkPlatform : public Platform {
  public:
    void bindSeam(MacServices* services) override { seam_.bindSeam(services); }
    MacHands& hands() override { return hands_; }
    void drain() override { seam_.application.drain(); }
    bool onScreen() const override { return true; }

  private:
    GtkSeam seam_;
    GtkHands hands_{seam_};
};
#endif

std::unique_ptr<Platform>& Current() {
    static std::unique_ptr<Platform> current;
    return current;
}

std::unique_ptr<Platform> MakePlatform() {
#if GLYPHORIA_MAC_GTK
    if (GtkSeamUsable()) return std::make_unique<GtkPlatform>();
#endif
    return std::make_unique<HeadlessPlatform>();
}

}  // namespace

void BringUpMacPlatform() {
    if (Current()) return;
    ForgetMacScriptRecord();
    Current() = MakePlatform();
    MacServices services;
    Current()->bindSeam(&services);
    BindMacFlows(&services);
    SetMacServices(services);
}

void TakeDownMacPlatform() {
    if (!Current()) return;
    CloseSamplerWindow();
    Current()->drain();
    SetMacServices(MacServices());
    Current().reset();
    // The next start-up in this process (the module stays loaded) begins
    // with the vendor's own addresses, as a fresh load does.
    SetVendorServer("");
}

MacHands* PlatformHands() {
    return Current() ? &Current()->hands() : nullptr;
}

bool PlatformOnScreen() {
    return Current() && Current()->onScreen();
}

}  // namespace glyphoria::mac
