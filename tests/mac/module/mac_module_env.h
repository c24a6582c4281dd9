// The Mac form's plug-in in the in-process host, on the seam its platform
// picks (GTK when the test program brought GTK up on a display, headless
// otherwise), against the stand-in shop on loopback: the module's own
// components registered as the host loads them, the standard document open
// (tests/sampling/host_document.h), start-up and the first idle moment run,
// the configuration preference and the vendor's addresses on the shop.
// Shutdown and the shop's end come with TearDown.
//
// The cases (mac_module_cases.h) run against both seams: the headless
// program instantiates them with HeadlessSeamChoice, the gui program with
// the GTK one.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/core/document.h"
#include "mac/hands.h"
#include "testing/shop/shop.h"
#include "tests/common/test_env.h"

namespace glyphoria::mac {

class MacModuleEnv {
  public:
    // False (after a test failure) when the environment could not be made.
    bool SetUp();
    void TearDown();

    MacHands& hands() { return *hands_; }
    glyphoria::testing::shop::Shop& shop() { return *shop_; }

    UID Frame(const std::string& name) const;
    void Select(const std::vector<std::string>& names);
    void SelectUIDs(const std::vector<UID>& uids);
    // Frames carrying a frame label, in layout order.
    std::vector<UID> Pictures() const;
    // A tried text frame is gone until an undo or a restore brings it back.
    bool Exists(UID frame) const;
    std::vector<std::string> Requests(const std::string& path) const;
    std::string FontsFolder() const;
    bool FontsInstalled() const;
    // The sampler page's try link of the shop's font id; false when none.
    bool TryFont(const std::string& id);
    int16 MenuState(ActionID action, std::string* name = nullptr) const;
    // What the desktop's handler was given: the test home's stand-in for the
    // browser and the file manager (a desktop entry that writes each address
    // it is started with into this file) answers http, https and folders.
    std::string DesktopHandlerLog() const;

    hostcore::Document* doc = nullptr;
    std::unique_ptr<glyphoria::testing::TempDir> downloads;

  private:
    std::unique_ptr<glyphoria::testing::shop::Shop> shop_;
    MacHands* hands_ = nullptr;
    bool started_ = false;
};

// The seams the cases run on: Prepare() readies the process for it (false
// when the case must not run; it has failed or skipped then).
struct HeadlessSeamChoice {
    static bool Prepare() { return true; }
    static constexpr bool kOnScreen = false;
};

}  // namespace glyphoria::mac
