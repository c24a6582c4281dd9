// The Mac form's cases that run on either seam, from one table: the typed
// fixture takes the seam choice (mac_module_env.h) and each program
// instantiates the suite for its own. What the person does goes through the
// hands; what the cases check is what a person or the shop would see: the
// document, the menu, the files written, the alerts, the shop's requests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "host/core/framework.h"
#include "host/sdk/session.h"
#include "mac/buy_controller.h"
#include "mac/mac_lifecycle.h"
#include "mac/mac_strings.h"
#include "mac/plist_prefs.h"
#include "mac/plugin/mac_platform.h"
#include "mac/try_controller.h"
#include "mac/vendor_addresses.h"
#include "platform/fs.h"
#include "shell/ids.h"
#include "tests/common/gui_env.h"
#include "tests/common/test_env.h"
#include "tests/mac/module/mac_module_env.h"

namespace glyphoria::mac {

namespace fs = std::filesystem;

template <class Seam>
class MacModuleCases : public ::testing::Test {
  protected:
    void SetUp() override {
        if constexpr (Seam::kOnScreen) {
            GLYPHORIA_REQUIRE_DISPLAY();
        }
        ASSERT_TRUE(Seam::Prepare());
        ASSERT_TRUE(env.SetUp());
        ASSERT_EQ(Seam::kOnScreen, PlatformOnScreen());
    }
    void TearDown() override { env.TearDown(); }

    MacHands& hands() { return env.hands(); }
    void OpenSampler() {
        ASSERT_TRUE(hostcore::DoMenuAction(kSamplerToggleAction));
        ASSERT_TRUE(TryController::isVisible());
        ASSERT_EQ(env.shop().sampler_page_url(), hands().pageUrl(*SamplerPage()));
    }
    // Opens the purchase panel from the sampler page's cart link; the steps
    // run while it is up, then Close ends it.
    void Purchase(const std::vector<boost::function<void()>>& steps) {
        for (const auto& step : steps)
            hands().whenModal(step);
        hands().whenModal([this] { EXPECT_TRUE(hands().clickControl(*PurchasePanel(), "close")); });
        ASSERT_TRUE(hands().clickLink(*SamplerPage(), "cart"));
        EXPECT_EQ(nullptr, PurchasePanel());
    }
    std::string Archive() const { return env.downloads->file("GlyphoriaFonts.zip"); }
    bool Exists(const std::string& path) const { return platform::StatPath(path.c_str()).exists; }

    MacModuleEnv env;
};

// How long a case waits for the engine at most.
constexpr int kCaseWaitMs = 20000;

TYPED_TEST_SUITE_P(MacModuleCases);

TYPED_TEST_P(MacModuleCases, TheMenuOpensTheSamplerPageAndClosesIt) {
    EXPECT_EQ(kEnabledAction, this->env.MenuState(kSamplerToggleAction));
    this->OpenSampler();
    EXPECT_EQ(kEnabledAction | kSelectedAction, this->env.MenuState(kSamplerToggleAction));
    EXPECT_EQ(1u, this->env.Requests("/glyphoria/config.xml").size());
    const auto pages = this->env.shop().log().WithPrefix("/glyphoria");
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ("Glyphoria/Mac 1.28", pages.back().header("User-Agent"));

    ASSERT_TRUE(hostcore::DoMenuAction(kSamplerToggleAction));
    EXPECT_FALSE(TryController::isVisible());
    EXPECT_EQ(kEnabledAction, this->env.MenuState(kSamplerToggleAction));
    EXPECT_TRUE(MacPrefs().HasString("tryFrame"));

    // The panel's own close control does the same; the next opening fetches
    // the configuration again.
    this->OpenSampler();
    MacPrefs().SetString("tryFrame", "", false);
    ASSERT_TRUE(this->hands().closeWindow(*SamplerPanel()));
    EXPECT_FALSE(TryController::isVisible());
    EXPECT_EQ(kEnabledAction, this->env.MenuState(kSamplerToggleAction));
    EXPECT_FALSE(MacPrefs().GetString("tryFrame", "").empty());
    EXPECT_EQ(2u, this->env.Requests("/glyphoria/config.xml").size());
}

TYPED_TEST_P(MacModuleCases, ATryLinkTriesTheFontAndCtrlZUndoesOneTryOnce) {
    this->OpenSampler();
    const UID alpha = this->env.Frame("alpha");
    const UID beta = this->env.Frame("beta");
    this->env.Select({"alpha", "beta"});
    ASSERT_TRUE(this->env.TryFont("1004"));
    EXPECT_EQ(2u, this->env.Requests("/render").size());
    EXPECT_EQ(2u, this->env.Pictures().size());
    EXPECT_FALSE(this->env.Exists(alpha));
    EXPECT_FALSE(this->env.Exists(beta));
    // The command address is no page: the sampler page stays.
    EXPECT_EQ(this->env.shop().sampler_page_url(), this->hands().pageUrl(*SamplerPage()));

    // Each frame is one step: one key press takes back the last one only.
    const PanelEvent ctrl_z{kEventKeyDown, kCommandKeyMask, "z"};
    ASSERT_TRUE(this->hands().pressKey(*SamplerPanel(), ctrl_z));
    EXPECT_EQ(1u, this->env.Pictures().size());
    EXPECT_FALSE(this->env.Exists(alpha));
    EXPECT_TRUE(this->env.Exists(beta));
    ASSERT_TRUE(this->hands().pressKey(*SamplerPanel(), ctrl_z));
    EXPECT_TRUE(this->env.Pictures().empty());
    EXPECT_TRUE(this->env.Exists(alpha));
}

TYPED_TEST_P(MacModuleCases, KeysThePanelDoesNotKeepReachTheHost) {
    this->OpenSampler();
    // The host binds Command-S (Ctrl-S here) to the about box.
    InterfacePtr<IShortcutManager> shortcuts(GetExecutionContextSession()->QueryApplication(),
                                             IID_ISHORTCUTMANAGER);
    ASSERT_TRUE(shortcuts);
    shortcuts->AddShortcut(kAboutAction, PMString("DefaultContext"), VirtualKey(0, 's'),
                           kMacShortcutModifier | static_cast<int32>(kCommandKeyMask >> 16));
    ASSERT_TRUE(this->hands().pressKey(*SamplerPanel(), {kEventKeyDown, kCommandKeyMask, "s"}));
    // Command-Z without anything to undo is no harm either.
    ASSERT_TRUE(this->hands().pressKey(*SamplerPanel(), {kEventKeyDown, kCommandKeyMask, "z"}));
    const auto alerts = this->hands().alertsShown();
    ASSERT_EQ(1u, alerts.size());
    EXPECT_EQ("Glyphoria 1.28", alerts[0].message);
    EXPECT_EQ(MacLocalized("copyright"), alerts[0].informative);
    EXPECT_TRUE(TryController::isVisible());
}

TYPED_TEST_P(MacModuleCases, MenuStatesOverMixedSelectionsAndTheAboutAlert) {
    this->OpenSampler();
    this->env.Select({"alpha"});
    ASSERT_TRUE(this->env.TryFont("1004"));
    ASSERT_EQ(1u, this->env.Pictures().size());
    const UID picture = this->env.Pictures()[0];
    struct Case {
        const char* name;
        std::vector<UID> selection;
        bool restore_enabled;
    } cases[] = {
        {"nothing selected", {}, false},
        {"text frames only", {this->env.Frame("beta"), this->env.Frame("gamma")}, false},
        {"an empty graphic frame", {this->env.Frame("frame")}, false},
        {"a tried frame among text frames", {this->env.Frame("beta"), picture}, true},
        {"the tried frame alone", {picture}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        this->env.SelectUIDs(c.selection);
        std::string name;
        const int16 state = this->env.MenuState(kRestoreAction, &name);
        EXPECT_EQ(c.restore_enabled, (state & kEnabledAction) != 0);
        EXPECT_EQ(c.restore_enabled ? MacLocalized("restore") : "Restore text frame", name);
        EXPECT_EQ(kEnabledAction | kSelectedAction, this->env.MenuState(kSamplerToggleAction));
    }
    this->env.SelectUIDs({this->env.Frame("beta"), picture});
    ASSERT_TRUE(hostcore::DoMenuAction(kRestoreAction));
    EXPECT_TRUE(this->env.Pictures().empty());

    ASSERT_TRUE(hostcore::DoMenuAction(kAboutAction));
    const auto alerts = this->hands().alertsShown();
    ASSERT_EQ(1u, alerts.size());
    EXPECT_EQ("Glyphoria 1.28", alerts[0].message);
    EXPECT_EQ(MacLocalized("copyright"), alerts[0].informative);
}

TYPED_TEST_P(MacModuleCases, ThePurchaseDownloadsIntoTheChosenFolderUnderTheBarAndInstalls) {
    this->OpenSampler();
    this->hands().answerFolderChooser(this->env.downloads->path());
    double value = -1, max_value = -2;
    this->Purchase({[&] {
        EXPECT_EQ(0u, this->hands().pageUrl(*PurchasePage()).find(Vendor().cart_service));
        EXPECT_TRUE(IsModalDialogStateHeld());
        ASSERT_TRUE(this->hands().clickLink(*PurchasePage(), "download-all"));
        const ViewNode* bar = ProgressSheet()->contentView().Find("progress");
        value = bar->value;
        max_value = bar->max_value;
        EXPECT_FALSE(ProgressSheet()->isVisible());
    }});
    EXPECT_FALSE(IsModalDialogStateHeld());
    ASSERT_TRUE(this->Exists(this->Archive()));
    const std::string bytes = glyphoria::testing::ReadFileBytes(this->Archive());
    EXPECT_EQ(0u, bytes.rfind("PK", 0));
    EXPECT_EQ(static_cast<double>(bytes.size()), max_value);
    EXPECT_EQ(max_value, value);
    EXPECT_TRUE(this->env.FontsInstalled());
    EXPECT_EQ(this->env.downloads->path(), MacPrefs().GetString("downloadTo", ""));
    EXPECT_TRUE(this->hands().alertsShown().empty());
}

TYPED_TEST_P(MacModuleCases, ContentTypesDecideBetweenShowingAndDownloading) {
    MacPrefs().SetString("downloadTo", this->env.downloads->path(), false);
    this->OpenSampler();
    struct Case {
        const char* link;
        const char* shown;  // a part of the address the panel shows after; null: a download
    } cases[] = {
        {"pdf", "/download/pdf/"},
        {"html", "/download/html/"},
        {"octet", nullptr},
        {"ok", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        std::remove(this->Archive().c_str());
        std::string page;
        this->Purchase({[&] {
            ASSERT_TRUE(this->hands().clickLink(*PurchasePage(), c.link));
            page = this->hands().pageUrl(*PurchasePage());
        }});
        if (c.shown) {
            EXPECT_NE(std::string::npos, page.find(c.shown)) << page;
            EXPECT_FALSE(this->Exists(this->Archive()));
        } else {
            EXPECT_EQ(0u, page.find(Vendor().cart_service)) << page;
            EXPECT_TRUE(this->Exists(this->Archive()));
        }
    }
}

// Plays the user at the first data of a download: the purchase panel's own
// delegate goes on receiving everything.
class UserAtFirstData : public DownloadDelegate {
  public:
    UserAtFirstData(DownloadDelegate& controller, boost::function<void()> act)
        : controller_(controller), act_(std::move(act)) {}
    void downloadDidBegin(Download& d) override { controller_.downloadDidBegin(d); }
    std::string decideDestinationWithSuggestedFilename(Download& d, const std::string& name,
                                                       bool* overwrite) override {
        return controller_.decideDestinationWithSuggestedFilename(d, name, overwrite);
    }
    void didReceiveResponse(Download& d, std::int64_t length) override {
        controller_.didReceiveResponse(d, length);
    }
    void didReceiveDataOfLength(Download& d, std::uint32_t length) override {
        controller_.didReceiveDataOfLength(d, length);
        if (act_) {
            boost::function<void()> act = act_;
            act_.clear();
            act();
        }
    }
    void downloadDidFinish(Download& d) override { controller_.downloadDidFinish(d); }
    void didFailWithError(Download& d, const MacError& e) override {
        controller_.didFailWithError(d, e);
    }

  private:
    DownloadDelegate& controller_;
    boost::function<void()> act_;
};

TYPED_TEST_P(MacModuleCases, CloseDuringADownloadIsBlockedByTheSheetAndCancelInstallsNothing) {
    MacPrefs().SetString("downloadTo", this->env.downloads->path(), false);
    this->OpenSampler();
    bool acted = false, close_taken = true, window_closed = true, cancel_taken = false;
    std::unique_ptr<UserAtFirstData> user;
    this->Purchase({[&] {
                        // The cart first, as the person sees it.
                        EXPECT_FALSE(this->hands().pageUrl(*PurchasePage()).empty());
                        user = std::make_unique<UserAtFirstData>(*BuyController::running(), [&] {
                            acted = true;
                            EXPECT_TRUE(ProgressSheet()->isVisible());
                            close_taken = this->hands().clickControl(*PurchasePanel(), "close");
                            window_closed = this->hands().closeWindow(*PurchasePanel());
                            cancel_taken = this->hands().clickControl(*ProgressSheet(), "cancel");
                        });
                        PurchasePage()->setDownloadDelegate(user.get());
                        // Half the archive, then a pause: the user acts meanwhile.
                        PurchasePage()->loadUrl(this->env.shop().base_url() +
                                                "/download/stall/GlyphoriaFonts.zip?seconds=2");
                        EXPECT_TRUE(this->hands().waitFor(
                            [&] { return acted && !ProgressSheet()->isVisible(); }, kCaseWaitMs));
                        EXPECT_TRUE(PurchasePanel()->isVisible());
                        EXPECT_FALSE(this->env.FontsInstalled());
                    },
                    [&] {
                        // The panel goes on: the next purchase downloads and installs.
                        PurchasePage()->setDownloadDelegate(BuyController::running());
                        ASSERT_TRUE(this->hands().clickLink(*PurchasePage(), "download-all"));
                    }});
    EXPECT_FALSE(close_taken);
    EXPECT_FALSE(window_closed);
    EXPECT_TRUE(cancel_taken);
    EXPECT_TRUE(this->env.FontsInstalled());
}

TYPED_TEST_P(MacModuleCases, TheDesktopOpensTheHomepageAndShowsTheDownloadFolder) {
    MacPrefs().SetString("downloadTo", this->env.downloads->path(), false);
    this->OpenSampler();
    ASSERT_TRUE(this->hands().clickLink(*SamplerPage(), "homepage"));
    // The page stays; the address went to the desktop's browser.
    EXPECT_EQ(this->env.shop().sampler_page_url(), this->hands().pageUrl(*SamplerPage()));
    EXPECT_EQ(std::vector<std::string>{this->env.shop().homepage_url()},
              this->hands().openedUrls());
    this->Purchase({[&] { EXPECT_TRUE(this->hands().clickControl(*PurchasePanel(), "show")); }});
    EXPECT_TRUE(this->hands().alertsShown().empty());
    if constexpr (TypeParam::kOnScreen) {
        // The desktop's own handler (the test home's stand-in) was started with
        // the homepage, then with the download folder's folder.
        const std::string folder = fs::path(this->env.downloads->path()).parent_path().string();
        EXPECT_TRUE(this->hands().waitFor(
            [&] {
                const std::string log = this->env.DesktopHandlerLog();
                return log.find(this->env.shop().homepage_url()) != std::string::npos &&
                       log.find(folder) != std::string::npos;
            },
            kCaseWaitMs))
            << this->env.DesktopHandlerLog();
    }
}

REGISTER_TYPED_TEST_SUITE_P(MacModuleCases, TheMenuOpensTheSamplerPageAndClosesIt,
                            TheDesktopOpensTheHomepageAndShowsTheDownloadFolder,
                            ATryLinkTriesTheFontAndCtrlZUndoesOneTryOnce,
                            KeysThePanelDoesNotKeepReachTheHost,
                            MenuStatesOverMixedSelectionsAndTheAboutAlert,
                            ThePurchaseDownloadsIntoTheChosenFolderUnderTheBarAndInstalls,
                            ContentTypesDecideBetweenShowingAndDownloading,
                            CloseDuringADownloadIsBlockedByTheSheetAndCancelInstallsNothing);

}  // namespace glyphoria::mac
