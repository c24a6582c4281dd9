#include "mac/try_controller.h"

#include <gtest/gtest.h>

#include "mac/mac_alerts.h"
#include "mac/mac_services.h"
#include "mac/plist_prefs.h"
#include "mac/vendor_addresses.h"
#include "tests/mac/mac_test_env.h"

namespace glyphoria::mac {
namespace {

const char* kConfig =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<glyphoria>\n"
    "  <cartUrl>http://shop.test/cart</cartUrl>\n"
    "  <mlSamplerUrl>http://render.test/r?a=1&amp;b=2</mlSamplerUrl>\n"
    "  <homepage>http://home.test/</homepage>\n"
    "  <search></search>\n"
    "  <config>file:///etc/passwd</config>\n"
    "  <sampleSizeFactor>1.5</sampleSizeFactor>\n"
    "  <extra>kept too</extra>\n"
    "  <downloadTo>/tmp/elsewhere</downloadTo>\n"
    "  <install>0</install>\n"
    "  <tryFrame>0 0 1 1</tryFrame>\n"
    "</glyphoria>\n";

class TryControllerTest : public MacTest {
  protected:
    void SetUp() override {
        MacTest::SetUp();
        mac_.documents[Vendor().config] = kConfig;
    }
    // Opens the window through the menu toggle and returns its page.
    HeadlessWebView& Open() {
        ToggleSamplerWindow();
        EXPECT_TRUE(TryController::isVisible());
        return *mac_.nibs.lastTryWebView();
    }
};

TEST_F(TryControllerTest, PolicyDecisions) {
    const std::string cart = Vendor().cart_service;
    struct Case {
        std::string url;
        PolicyDecision decision;
        std::vector<std::string> tries, reverts;
        int homepages;
        int purchases;
    } cases[] = {
        {"glyphoria://try?id=7&x=1", PolicyDecision::kUse, {"id=7&x=1"}, {}, 0, 0},
        {"glyphoria://try?", PolicyDecision::kUse, {""}, {}, 0, 0},
        {"glyphoria://try", PolicyDecision::kUse, {}, {}, 0, 0},
        {"glyphoria://try?id=7?x", PolicyDecision::kUse, {}, {}, 0, 0},
        {"glyphoria://revert?id=7", PolicyDecision::kUse, {}, {"id=7"}, 0, 0},
        {"glyphoria://try?id=%41+b", PolicyDecision::kUse, {"id=%41+b"}, {}, 0, 0},
        {"GLYPHORIA://try?id=7", PolicyDecision::kUse, {}, {}, 0, 0},
        {"glyphoria://homepage", PolicyDecision::kNone, {}, {}, 1, 0},
        {"glyphoria://homepage?x=1", PolicyDecision::kUse, {}, {}, 0, 0},
        {"glyphoria://other?x=1", PolicyDecision::kUse, {}, {}, 0, 0},
        {cart + "?action=cart", PolicyDecision::kNone, {}, {}, 0, 1},
        {cart, PolicyDecision::kUse, {}, {}, 0, 0},
        {cart + "?a?b", PolicyDecision::kUse, {}, {}, 0, 0},
        {cart + "/?action=cart", PolicyDecision::kUse, {}, {}, 0, 0},
        {"http://example.test/page", PolicyDecision::kUse, {}, {}, 0, 0},
    };
    HeadlessWebView& page = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        for (bool new_window : {false, true}) {
            SCOPED_TRACE(new_window ? "new window" : "navigation");
            mac_.tries.clear();
            mac_.reverts.clear();
            const std::size_t opened = mac_.workspace.openedUrls().size();
            const int buys = mac_.nibs.buyLoads();
            if (c.purchases)
                mac_.application.queueModalStep(
                    [this] { mac_.nibs.lastBuyPanel()->contentView().Find("close")->Click(); });
            EXPECT_EQ(c.decision, new_window ? page.openNewWindow(c.url) : page.navigate(c.url));
            EXPECT_EQ(c.tries, mac_.tries);
            EXPECT_EQ(c.reverts, mac_.reverts);
            EXPECT_EQ(opened + c.homepages, mac_.workspace.openedUrls().size());
            EXPECT_EQ(buys + c.purchases, mac_.nibs.buyLoads());
            if (c.purchases) {
                EXPECT_EQ(c.url, mac_.nibs.lastBuyWebView()->loads().at(0));
            }
            EXPECT_TRUE(Logged(std::string(new_window ? "Try: policyForNewWindow: "
                                                      : "Try: policyForNavigation: ") +
                               c.url));
        }
    }
    EXPECT_EQ(0, mac_.application.abandonedLoops());
    // The homepage comes from the configuration just fetched.
    EXPECT_EQ("http://home.test/", mac_.workspace.openedUrls().at(0));
}

TEST_F(TryControllerTest, PurchaseFromTheSamplerPage) {
    testing::TempDir folder;
    MacPrefs().SetString("downloadTo", folder.path(), false);
    HeadlessWebView& page = Open();
    const std::string cart = Vendor().cart_service + "?action=cart&ids=7";
    mac_.application.queueModalStep([&] {
        HeadlessDownload* download = nullptr;
        mac_.nibs.lastBuyWebView()->respond("http://shop.test/f.zip", "application/zip", "f.zip",
                                            &download);
        ASSERT_NE(nullptr, download);
        download->receive("PK");
        download->finish();
        mac_.nibs.lastBuyPanel()->contentView().Find("close")->Click();
    });
    EXPECT_EQ(PolicyDecision::kNone, page.navigate(cart));
    EXPECT_EQ(std::vector<std::string>{cart}, mac_.nibs.lastBuyWebView()->loads());
    EXPECT_EQ(std::vector<std::string>{folder.file("f.zip")}, mac_.installs);
    EXPECT_EQ(0, mac_.modal_state_depth);
    EXPECT_TRUE(TryController::isVisible());
    // The page goes on working after the purchase window closed.
    EXPECT_EQ(PolicyDecision::kUse, page.navigate("glyphoria://try?id=8"));
    EXPECT_EQ(std::vector<std::string>{"id=8"}, mac_.tries);
}

TEST_F(TryControllerTest, OfflineShowsNoInternetAndOpensNothing) {
    struct Case {
        const char* name;
        bool probe;
        std::uint32_t flags;
        bool opens;
    } cases[] = {
        {"no probe", false, 0, false},
        {"not reachable", true, 0, false},
        {"connection required", true, kReachableFlag | kConnectionRequiredFlag, false},
        {"reachable", true, kReachableFlag, true},
        {"reachable, other flags", true, kReachableFlag | 0x10000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mac_.alerts.clear();
        mac_.document_requests.clear();
        mac_.reachability.available = c.probe;
        mac_.reachability.flags = c.flags;
        ToggleSamplerWindow();
        EXPECT_EQ(c.opens, TryController::isVisible());
        EXPECT_EQ(c.opens ? 1u : 0u, mac_.document_requests.size());
        if (!c.opens) {
            EXPECT_EQ(std::vector<std::string>{"There seems to be no connection to the internet!"},
                      AlertMessages());
        }
        if (c.probe) {
            EXPECT_TRUE(Logged("Internetflags: " + std::to_string(c.flags)));
        }
        CloseSamplerWindow();
    }
    const IPv4SocketAddress& probed = mac_.reachability.probed.at(0);
    EXPECT_EQ(16, probed.length);
    EXPECT_EQ(2, probed.family);
    EXPECT_EQ(0u, probed.address);
}

TEST_F(TryControllerTest, OpeningStoresEveryChildWritesAndSetsUpThePanel) {
    MacPrefs().SetString("homepage", "http://old.test/", true);
    MacPrefs().SetString("search", "kept?", true);
    MacPrefs().SetString("downloadTo", "/home/chosen", true);
    HeadlessWebView& page = Open();

    // Every child, empty ones included, decoded as XML text; but addresses
    // only when they are http or https.
    PlistPrefs reread;
    reread.Open(MacPrefs().path(), "");
    struct Case {
        const char* key;
        const char* value;
    } cases[] = {
        {"cartUrl", "http://shop.test/cart"}, {"mlSamplerUrl", "http://render.test/r?a=1&b=2"},
        {"homepage", "http://home.test/"},    {"search", "kept?"},
        {"sampleSizeFactor", "1.5"},          {"extra", "kept too"},
        // The user's own choices are not the configuration's to make.
        {"downloadTo", "/home/chosen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_TRUE(reread.HasString(c.key));
        EXPECT_EQ(c.value, reread.GetString(c.key, "missing"));
    }
    EXPECT_NE(std::string::npos, LogText().find("\"extra\" = \"kept too\";"));
    EXPECT_FALSE(reread.HasString("config"));
    EXPECT_FALSE(reread.HasString("install"));
    EXPECT_FALSE(reread.HasString("tryFrame"));
    EXPECT_TRUE(Logged("config: downloadTo skipped, the user's own choice"));
    EXPECT_TRUE(Logged("config: search skipped, not an http or https address: "));
    EXPECT_TRUE(Logged("config: config skipped, not an http or https address: file:///etc/passwd"));

    EXPECT_EQ("Glyphoria/Mac 1.28", page.userAgent());
    EXPECT_EQ(std::vector<std::string>{Vendor().start_page}, page.loads());
    EXPECT_NE(nullptr, page.frameLoadDelegate());
    EXPECT_NE(nullptr, page.policyDelegate());
    EXPECT_EQ(nullptr, page.downloadDelegate());
    HeadlessWindow* panel = mac_.nibs.lastTryPanel();
    EXPECT_TRUE(panel->isKeyWindow());
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(TryControllerTest, ChildlessRootStillSavesLogsAndOpens) {
    mac_.documents[Vendor().config] = "<glyphoria/>";
    Open();
    EXPECT_TRUE(testing::PathExists(MacPrefs().path()));
    EXPECT_TRUE(Logged("{\n}"));
}

TEST_F(TryControllerTest, ConfigurationThatCannotBeHadShowsAnAlertAndNoWindow) {
    struct Case {
        const char* name;
        const char* document;  // null: the address does not answer
        const char* alert_start;
    } cases[] = {
        {"not found", nullptr, "The requested URL was not found on this server."},
        {"not well-formed", "<glyphoria><homepage>x</glyphoria>",
         "The XML text is not well-formed"},
        {"two roots", "<a/><b/>", "The XML text is not well-formed"},
        {"empty", "", "The XML text is not well-formed"},
        {"entity definitions", "<!DOCTYPE a [<!ENTITY x \"y\">]><a><homepage>&x;</homepage></a>",
         "The XML text carries a document type declaration"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mac_.alerts.clear();
        if (c.document)
            mac_.documents[Vendor().config] = c.document;
        else
            mac_.documents.erase(Vendor().config);
        ToggleSamplerWindow();
        EXPECT_FALSE(TryController::isVisible());
        EXPECT_EQ(0, mac_.nibs.tryLoads());
        ASSERT_EQ(1u, mac_.alerts.shown().size());
        EXPECT_EQ(0u, mac_.alerts.shown()[0].message.rfind(c.alert_start, 0))
            << mac_.alerts.shown()[0].message;
        EXPECT_FALSE(MacPrefs().HasString("homepage"));
    }
}

TEST_F(TryControllerTest, ConfigAddressComesFromThePreference) {
    MacPrefs().SetString("config", "http://elsewhere.test/c.xml", false);
    mac_.documents["http://elsewhere.test/c.xml"] = "<c><homepage>http://h/</homepage></c>";
    Open();
    EXPECT_EQ(std::vector<std::string>{"http://elsewhere.test/c.xml"}, mac_.document_requests);
    EXPECT_EQ("http://h/", MacPrefs().GetString("homepage", ""));
}

TEST_F(TryControllerTest, SecondToggleClosesAndSavesFrameThirdFetchesAgain) {
    Open();
    HeadlessWindow* panel = mac_.nibs.lastTryPanel();
    panel->userMove(10, 20, 300, 200);
    ToggleSamplerWindow();
    EXPECT_FALSE(TryController::isVisible());
    EXPECT_EQ(0, IsSamplerWindowVisible());
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(Logged("Try: dealloc"));
    PlistPrefs reread;
    reread.Open(MacPrefs().path(), "");
    EXPECT_EQ("10 20 300 200 0 0 1440 900", reread.GetString("tryFrame", ""));

    ToggleSamplerWindow();
    EXPECT_EQ(1, IsSamplerWindowVisible());
    EXPECT_EQ(2u, mac_.document_requests.size());
    EXPECT_EQ("10 20 300 200 0 0 1440 900", mac_.nibs.lastTryPanel()->frameString());
}

TEST_F(TryControllerTest, OpeningWhileOpenOnlyBringsToFront) {
    Open();
    HeadlessWindow* panel = mac_.nibs.lastTryPanel();
    const int fronts = panel->frontCount();
    panel->resignKey();
    TryController::runModeless();
    EXPECT_EQ(1u, mac_.document_requests.size());
    EXPECT_EQ(1, mac_.nibs.tryLoads());
    EXPECT_EQ(fronts + 1, panel->frontCount());
    EXPECT_FALSE(panel->isKeyWindow());
}

TEST_F(TryControllerTest, UserClosingThePanelReleasesTheController) {
    Open();
    HeadlessWindow* panel = mac_.nibs.lastTryPanel();
    panel->userMove(1, 2, 30, 40);
    panel->userClose();
    EXPECT_FALSE(TryController::isVisible());
    EXPECT_TRUE(Logged("windowWillClose"));
    EXPECT_EQ("1 2 30 40 0 0 1440 900", MacPrefs().GetString("tryFrame", ""));
    mac_.application.drain();
    // Opening again makes a new panel.
    Open();
    EXPECT_EQ(2, mac_.nibs.tryLoads());
}

TEST_F(TryControllerTest, LoadFailureShowsTheDescriptionAsTextAndKeepsTheWindow) {
    HeadlessWebView& page = Open();
    page.failLoad({"NSURLErrorDomain", -1001, "Timed out at 100%s"}, "frame1");
    EXPECT_EQ(std::vector<std::string>{"Timed out at 100%s"}, AlertMessages());
    EXPECT_TRUE(Logged("didFailLoadWithError: frame1"));
    EXPECT_TRUE(TryController::isVisible());
}

void CloseFromInsideATry(const char*) {
    ToggleSamplerWindow();
}

TEST_F(TryControllerTest, ClosingFromInsideATryIsSafe) {
    HeadlessWebView& page = Open();
    MacServices services = Services();
    services.try_fonts = &CloseFromInsideATry;
    SetMacServices(services);
    EXPECT_EQ(PolicyDecision::kUse, page.navigate("glyphoria://try?id=1"));
    EXPECT_FALSE(TryController::isVisible());
    mac_.install();
}

TEST_F(TryControllerTest, WindowDescriptionMissingLeavesNoWindow) {
    mac_.nibs.fail_try = true;
    ToggleSamplerWindow();
    EXPECT_FALSE(TryController::isVisible());
}

}  // namespace
}  // namespace glyphoria::mac

namespace glyphoria::mac {
namespace {

// The sampler panel's keys go through the panel class: what the web view
// types or takes as an edit action, and what reaches the host.
TEST_F(TryControllerTest, ThePanelsKeysGoThroughThePanelClass) {
    struct Case {
        const char* name;
        PanelEvent event;
        bool host_document;
        const char* typed;
        std::vector<std::string> actions;
        int host_keys, host_undos;
    } cases[] = {
        {"typing", {kEventKeyDown, 0, "q"}, false, "q", {}, 0, 0},
        {"shift types", {kEventKeyDown, kShiftKeyMask, "Q"}, false, "Q", {}, 0, 0},
        {"command c copies in the page",
         {kEventKeyDown, kCommandKeyMask, "c"},
         false,
         "",
         {"copy:"},
         0,
         0},
        {"caps lock command c is the host's",
         {kEventKeyDown, kCapsLockKeyMask | kCommandKeyMask, "c"},
         false,
         "",
         {},
         1,
         0},
        {"command s is the host's", {kEventKeyDown, kCommandKeyMask, "s"}, false, "", {}, 1, 0},
        {"command z without a document undoes in the page",
         {kEventKeyDown, kCommandKeyMask, "z"},
         false,
         "",
         {"undo:"},
         0,
         0},
        {"command z with a document: the host undoes once",
         {kEventKeyDown, kCommandKeyMask, "z"},
         true,
         "",
         {},
         1,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        HeadlessWindow* panel = mac_.nibs.lastTryPanel();
        HeadlessWebView* page = mac_.nibs.lastTryWebView();
        mac_.host_has_document = c.host_document;
        mac_.host_keys.clear();
        mac_.host_undos = 0;
        ASSERT_TRUE(panel->userEvent(c.event));
        EXPECT_EQ(c.typed, page->typed());
        EXPECT_EQ(c.actions, page->editActions());
        EXPECT_EQ(c.host_keys, static_cast<int>(mac_.host_keys.size()));
        EXPECT_EQ(c.host_undos, mac_.host_undos);
        ToggleSamplerWindow();
        mac_.application.drain();
    }
}

}  // namespace
}  // namespace glyphoria::mac
