// A designer's session in the Mac form, bound to this machine: the stand-in
// shop on loopback serves the configuration, the sampler page, the renderer,
// the cart and the archives; the in-process host holds the document; the
// headless windows browse the shop for real.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/app/frame_compare.h"
#include "host/core/framework.h"
#include "host/sdk/session.h"
#include "mac/bindings/mac_bindings.h"
#include "mac/buy_controller.h"
#include "mac/headless/headless_mac.h"
#include "mac/headless/web_network.h"
#include "mac/mac_alerts.h"
#include "mac/mac_folders.h"
#include "mac/mac_lifecycle.h"
#include "mac/mac_log.h"
#include "mac/mac_strings.h"
#include "mac/plist_prefs.h"
#include "mac/try_controller.h"
#include "mac/vendor_addresses.h"
#include "platform/folders.h"
#include "platform/fs.h"
#include "sampling/page_items.h"
#include "support/file_utils.h"
#include "testing/shop/shop.h"
#include "tests/sampling/host_document.h"

namespace glyphoria::mac {
namespace {

using glyphoria::testing::UrlParam;

class MacSessionTest : public glyphoria::testing::HostDocumentTest {
  public:
    void SetUp() override {
        HostDocumentTest::SetUp();
        glyphoria::testing::shop::ShopOptions options;
        options.https = false;
        shop = std::make_unique<glyphoria::testing::shop::Shop>(options);
        std::string error;
        ASSERT_TRUE(shop->Start(&error)) << error;
        SetVendorServer(shop->base_url());

        SetApplicationSupportFolder(support.path());
        OpenMacLogInFolder(1, documents.path());
        OpenMacPrefs();
        LoadMacStrings(0);
        SetMessageDetailText("");
        mac.install();
        MacServices services = Services();
        BindMacFlows(&services);
        SetMacServices(services);
        mac.nibs.network = &network;
        // Fonts are really installed: only ever into the test's own home.
        const char* home = std::getenv("HOME");
        ASSERT_TRUE(home && *home);
        ASSERT_EQ(0u, FontsFolder().rfind(home, 0)) << FontsFolder();
    }
    void TearDown() override {
        CloseSamplerWindow();
        mac.application.drain();
        SetVendorServer("");
        CloseMacLog();
        SetApplicationSupportFolder("");
        shop->Stop();
        HostDocumentTest::TearDown();
    }

    std::vector<std::string> Requests(const std::string& path) const {
        std::vector<std::string> targets;
        for (const auto& request : shop->log().Snapshot())
            if (request.path == path) targets.push_back(request.target);
        return targets;
    }
    // Labelled frames in layout order.
    std::vector<UID> Pictures() const {
        std::vector<UID> found;
        for (UID uid : doc->Model().LayoutOrder())
            if (!Label(uid).empty()) found.push_back(uid);
        return found;
    }
    std::string FontsFolder() const {
        char folder[1024] = "";
        platform::GetShellFolder(platform::kFolderFonts, folder, sizeof folder);
        return folder;
    }
    std::vector<std::string> FontFiles() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(FontsFolder(), error))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    bool Exists(const std::string& path) const { return platform::StatPath(path.c_str()).exists; }
    // The sampler page's first try link.
    HtmlLink FirstTryLink(const HeadlessWebView& page) const {
        for (const HtmlLink& link : page.links())
            if (link.href.rfind("glyphoria://try?", 0) == 0) return link;
        return {};
    }
    HeadlessWebView& BuyPage() { return *mac.nibs.lastBuyWebView(); }
    void ClickClose() { mac.nibs.lastBuyPanel()->contentView().Find("close")->Click(); }

    std::unique_ptr<glyphoria::testing::shop::Shop> shop;
    glyphoria::testing::TempDir support;
    glyphoria::testing::TempDir documents;
    glyphoria::testing::TempDir downloads;
    NetWebNetwork network;
    HeadlessMac mac;
};

TEST_F(MacSessionTest, TryRevertHomepageAndPurchaseThroughTheSamplerWindow) {
    const hostcore::DocModel original = doc->Model();
    const UID alpha = Frame("alpha"), beta = Frame("beta");
    Select({"alpha", "beta"});
    ToggleSamplerWindow();
    ASSERT_TRUE(TryController::isVisible());
    HeadlessWebView& page = *mac.nibs.lastTryWebView();

    // The configuration came from the shop before the page was loaded.
    EXPECT_EQ(1u, Requests("/glyphoria/config.xml").size());
    EXPECT_EQ(shop->renderer_url(), MacPrefs().GetString("mlSamplerUrl", ""));
    EXPECT_EQ(shop->homepage_url(), MacPrefs().GetString("homepage", ""));
    EXPECT_EQ(shop->sampler_page_url(), page.pageUrl());
    const auto start = shop->log().WithPrefix("/glyphoria");
    ASSERT_FALSE(start.empty());
    EXPECT_EQ("Glyphoria/Mac 1.28", start.back().header("User-Agent"));

    // Try: each selected frame becomes the renderer's picture of its text.
    const HtmlLink try_link = FirstTryLink(page);
    ASSERT_FALSE(try_link.text.empty());
    const std::string id = UrlParam(try_link.href, "id");
    PolicyDecision decision = PolicyDecision::kNone;
    ASSERT_TRUE(page.clickLink(try_link.text, &decision));
    EXPECT_EQ(PolicyDecision::kUse, decision);
    EXPECT_TRUE(messages.empty());
    const std::vector<std::string> renders = Requests("/render");
    ASSERT_EQ(2u, renders.size());
    EXPECT_EQ(id, UrlParam(renders[0], "shopid"));
    EXPECT_EQ("Alpha%20text", UrlParam(renders[0], "RenderText"));
    const std::vector<UID> pictures = Pictures();
    ASSERT_EQ(2u, pictures.size());
    EXPECT_FALSE(doc->IsValidUID(alpha));
    EXPECT_FALSE(doc->IsValidUID(beta));
    EXPECT_EQ(0u, Label(pictures[0]).find("id=" + id + "&"));
    // The same keys as the other build: the record and the whole frame, and
    // the picture in the frame's place under its name.
    EXPECT_EQ(pictures[0], Frame("alpha"));
    EXPECT_FALSE(FrameLabel(UIDRef(doc, pictures[1]), "Glyphoria.frame").empty());
    // Fetched together, logged frame by frame in selection order, each into
    // a file of its own.
    const std::string mac_log = testing::ReadFileBytes(MacLogPath());
    std::vector<std::string> previews;
    for (std::size_t at = mac_log.find("preview: "); at != std::string::npos;
         at = mac_log.find("preview: ", at + 1))
        previews.push_back(mac_log.substr(at, mac_log.find('\n', at) - at));
    ASSERT_EQ(2u, previews.size());
    EXPECT_NE(std::string::npos, previews[0].find("_" + std::to_string(alpha) + "_"));
    EXPECT_NE(std::string::npos, previews[1].find("_" + std::to_string(beta) + "_"));
    // The sampler page stays: the command address is not a page.
    EXPECT_EQ(shop->sampler_page_url(), page.pageUrl());

    // Revert: the pictures are the text frames again, the second from its
    // record, its copy being damaged, with the same fallback.
    ASSERT_EQ(kSuccess, WriteFrameLabel(UIDRef(doc, pictures[1]), "Glyphoria.frame", "{"));
    SelectUIDs(pictures);
    ASSERT_TRUE(page.clickLink("revert", &decision));
    EXPECT_EQ(PolicyDecision::kUse, decision);
    EXPECT_TRUE(Pictures().empty());
    EXPECT_EQ(std::vector<std::string>{},
              hostapp::FrameDifferences(original, alpha, doc->Model(), pictures[0]));
    EXPECT_EQ("Beta\r", StoryText(pictures[1]));
    EXPECT_NE(std::string::npos, LogText().find("frame copy of " + std::to_string(pictures[1]) +
                                                " refused (not JSON)"));
    EXPECT_TRUE(messages.empty());

    // Homepage: the browser is asked, the page does not move.
    ASSERT_TRUE(page.clickLink("homepage", &decision));
    EXPECT_EQ(PolicyDecision::kNone, decision);
    ASSERT_EQ(1u, mac.workspace.openedUrls().size());
    EXPECT_EQ(shop->homepage_url(), mac.workspace.openedUrls()[0]);

    // Cart: the purchase panel runs modally on the cart page; the user picks
    // the download folder when the first archive comes, downloads all fonts
    // and closes the panel.
    mac.open_panel.queueAnswer({kOpenPanelOk, {downloads.path()}});
    bool modal_held = false;
    std::string cart_page;
    double progress = -1, progress_max = -2;
    mac.application.queueModalStep([&] {
        modal_held = IsModalDialogStateHeld();
        cart_page = BuyPage().pageUrl();
        EXPECT_TRUE(BuyPage().clickLink("download-all"));
        const ViewNode* bar = mac.nibs.lastBuySheet()->contentView().Find("progress");
        progress = bar->value;
        progress_max = bar->max_value;
    });
    mac.application.queueModalStep([&] { ClickClose(); });
    ASSERT_TRUE(page.clickLink("cart", &decision));
    EXPECT_EQ(PolicyDecision::kNone, decision);
    EXPECT_EQ(0, mac.application.abandonedLoops());
    EXPECT_TRUE(modal_held);
    EXPECT_FALSE(IsModalDialogStateHeld());
    EXPECT_EQ(0u, cart_page.find(Vendor().cart_service + "?action=cart"));
    EXPECT_EQ(1, mac.open_panel.runs());
    EXPECT_EQ(downloads.path(), MacPrefs().GetString("downloadTo", ""));

    const std::string archive = downloads.file("GlyphoriaFonts.zip");
    EXPECT_TRUE(Exists(archive));
    EXPECT_EQ(1, mac.application.sheetsBegun());
    EXPECT_EQ(std::vector<int>{kSheetDownloadFinished}, mac.application.sheetCodes());
    EXPECT_GT(progress_max, 0);
    EXPECT_EQ(progress_max, progress);
    const auto fonts = shop->catalogue().OpenTypeFonts();
    ASSERT_FALSE(fonts.empty());
    for (const auto* font : fonts)
        EXPECT_TRUE(Exists(FontsFolder() + "/" + font->file_name())) << font->file_name();
    EXPECT_TRUE(mac.alerts.shown().empty());

    // Closing the window keeps its frame for the next opening.
    ToggleSamplerWindow();
    EXPECT_FALSE(TryController::isVisible());
    PlistPrefs saved;
    saved.Open(MacPrefs().path(), "");
    EXPECT_TRUE(saved.HasString("tryFrame"));
    EXPECT_EQ(downloads.path(), saved.GetString("downloadTo", ""));
}

TEST_F(MacSessionTest, FontsBoughtAgainAreToldInTheMacAlertsAndLoggedInTheMacLog) {
    MacPrefs().SetString("downloadTo", downloads.path(), false);
    ToggleSamplerWindow();
    ASSERT_TRUE(TryController::isVisible());
    HeadlessWebView& page = *mac.nibs.lastTryWebView();
    const auto buy_all = [&] {
        mac.application.queueModalStep([&] { EXPECT_TRUE(BuyPage().clickLink("download-all")); });
        mac.application.queueModalStep([&] { ClickClose(); });
        ASSERT_TRUE(page.clickLink("cart"));
    };
    buy_all();
    mac.alerts.clear();
    buy_all();

    // The second archive went beside the first, under the name it is told
    // by; each font already there is told once, in the Mac form's own words.
    const auto fonts = shop->catalogue().OpenTypeFonts();
    ASSERT_FALSE(fonts.empty());
    ASSERT_EQ(fonts.size() + 1, mac.alerts.shown().size());
    EXPECT_EQ(
        "'GlyphoriaFonts.zip' is already in the download folder: the archive was saved as "
        "'GlyphoriaFonts (2).zip'.",
        mac.alerts.shown()[0].message);
    EXPECT_TRUE(Exists(downloads.path() + "/GlyphoriaFonts (2).zip"));
    for (std::size_t i = 0; i < fonts.size(); ++i)
        EXPECT_EQ("The font '" + fonts[i]->file_name() + "' is already installed!",
                  mac.alerts.shown()[i + 1].message);
    std::uint32_t size = 0;
    char* log = ReadWholeFile(MacLogPath().c_str(), &size);
    ASSERT_NE(nullptr, log);
    const std::string text(log, size);
    std::free(log);
    EXPECT_NE(std::string::npos, text.find(": " + FontsFolder() + "\n")) << text;
}

TEST_F(MacSessionTest, CartAnswersThatAreNoArchiveOrBreakOffInstallNothing) {
    MacPrefs().SetString("downloadTo", downloads.path(), false);
    ToggleSamplerWindow();
    ASSERT_TRUE(TryController::isVisible());
    HeadlessWebView& page = *mac.nibs.lastTryWebView();
    std::string pdf_page;
    mac.application.queueModalStep([&] {
        // A document of another type is shown in the panel.
        EXPECT_TRUE(BuyPage().clickLink("pdf"));
        pdf_page = BuyPage().pageUrl();
    });
    mac.application.queueModalStep([&] { ClickClose(); });
    ASSERT_TRUE(page.clickLink("cart"));
    EXPECT_NE(std::string::npos, pdf_page.find("/download/pdf/"));
    EXPECT_EQ(0, mac.application.sheetsBegun());

    // An archive whose body breaks off fails: the user is told, the sheet
    // ends as stopped and nothing is installed.
    const std::vector<std::string> fonts_before = FontFiles();
    mac.application.queueModalStep([&] { EXPECT_TRUE(BuyPage().clickLink("drop")); });
    mac.application.queueModalStep([&] { ClickClose(); });
    ASSERT_TRUE(page.clickLink("cart"));
    EXPECT_EQ(std::vector<int>{kSheetDownloadStopped}, mac.application.sheetCodes());
    // The folder was known: nobody was asked for one.
    EXPECT_EQ(0, mac.open_panel.runs());
    ASSERT_EQ(1u, mac.alerts.shown().size());
    EXPECT_EQ("The network connection was lost.", mac.alerts.shown()[0].message);
    EXPECT_EQ(fonts_before, FontFiles());
}

TEST_F(MacSessionTest, AConfigurationWithAnErrorOpensNoWindowAndAFailedTryIsAMacAlert) {
    MacPrefs().SetString("config", shop->config_url() + "?status=503", false);
    ToggleSamplerWindow();
    EXPECT_FALSE(TryController::isVisible());
    ASSERT_EQ(1u, mac.alerts.shown().size());
    EXPECT_EQ("The server answered with HTTP status 503.", mac.alerts.shown()[0].message);
    EXPECT_TRUE(MacPrefs().GetString("mlSamplerUrl", "").empty());

    // A renderer that answers with an error status places nothing.
    MacPrefs().SetString("config", shop->config_url(), false);
    ToggleSamplerWindow();
    ASSERT_TRUE(TryController::isVisible());
    MacPrefs().SetString("mlSamplerUrl", shop->base_url() + "/render/none", false);
    Select({"alpha"});
    ASSERT_TRUE(
        mac.nibs.lastTryWebView()->clickLink(FirstTryLink(*mac.nibs.lastTryWebView()).text));
    EXPECT_TRUE(Pictures().empty());
    EXPECT_TRUE(doc->IsValidUID(Frame("alpha")));
    // Said as the Mac form says everything: its alert, its dictionary's text.
    EXPECT_TRUE(messages.empty());
    // A revert with nothing selected says the same.
    SelectUIDs({});
    ASSERT_TRUE(mac.nibs.lastTryWebView()->clickLink("revert"));
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(3u, mac.alerts.shown().size());
    EXPECT_EQ("Please select one or more text frames first!", mac.alerts.shown()[1].message);
    EXPECT_EQ("Please select one or more text frames first!", mac.alerts.shown()[2].message);
}

TEST_F(MacSessionTest, ASamplerPageThatBreaksOffIsReportedAndTheWindowStays) {
    ToggleSamplerWindow();
    ASSERT_TRUE(TryController::isVisible());
    HeadlessWebView& page = *mac.nibs.lastTryWebView();
    page.loadUrl(shop->download_url("drop"));
    ASSERT_EQ(1u, mac.alerts.shown().size());
    EXPECT_EQ("The network connection was lost.", mac.alerts.shown()[0].message);
    EXPECT_TRUE(TryController::isVisible());
    EXPECT_EQ(shop->sampler_page_url(), page.pageUrl());
    EXPECT_TRUE(page.downloads().empty());

    // An address that cannot be reached at all leaves the page as it was.
    page.loadUrl("http://127.0.0.1:1/glyphoria");
    EXPECT_EQ(1u, mac.alerts.shown().size());
    EXPECT_EQ(shop->sampler_page_url(), page.pageUrl());
    EXPECT_FALSE(page.lastLoadError().localized_description.empty());
}

TEST_F(MacSessionTest, StartUpBindsTheShortcutAtTheFirstIdleMoment) {
    MacStartup(HostMacCalls());
    MacPrefs().SetString("shortcut", "g", false);
    EXPECT_EQ(1, hostcore::InstalledIdleTaskCount());
    EXPECT_EQ(1, hostcore::RunIdleTasks());
    EXPECT_EQ(0, hostcore::InstalledIdleTaskCount());
    InterfacePtr<IShortcutManager> shortcuts(GetExecutionContextSession()->QueryApplication(),
                                             IID_ISHORTCUTMANAGER);
    ASSERT_TRUE(shortcuts);
    EXPECT_EQ(static_cast<ActionID>(kSamplerToggleAction),
              shortcuts->FindAction(PMString("DefaultContext"), VirtualKey(0, 'g'),
                                    kMacShortcutModifier));
    MacShutdown();
    CloseMacLog();
}

}  // namespace
}  // namespace glyphoria::mac
