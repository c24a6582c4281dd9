#include "mac/buy_controller.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "mac/mac_strings.h"
#include "mac/plist_prefs.h"
#include "tests/mac/mac_test_env.h"

namespace glyphoria::mac {
namespace {

const char* kCart = "http://shop.test/services/service.ashx?action=cart";
const char* kArchive = "http://shop.test/download/fonts.zip";

// Runs the purchase panel; the steps play the user and the network while
// it is up. The panel is closed with its Close button at the end.
class BuyControllerTest : public MacTest {
  protected:
    using Step = boost::function<void()>;
    void Run(std::vector<Step> steps) {
        for (const Step& step : steps)
            mac_.application.queueModalStep(step);
        mac_.application.queueModalStep([this] { Click("close"); });
        BuyController::runModal(kCart);
        EXPECT_EQ(0, mac_.application.abandonedLoops());
    }
    HeadlessWindow& Panel() { return *mac_.nibs.lastBuyPanel(); }
    HeadlessWebView& Page() { return *mac_.nibs.lastBuyWebView(); }
    ViewNode& Control(const char* id) { return *Panel().contentView().Find(id); }
    // A control of the panel or of its progress sheet.
    void Click(const char* id) {
        ViewNode* node = Panel().contentView().Find(id);
        if (!node) node = mac_.nibs.lastBuySheet()->contentView().Find(id);
        ASSERT_NE(nullptr, node) << id;
        EXPECT_TRUE(node->Click()) << id;
    }
    ViewNode& Bar() { return *mac_.nibs.lastBuySheet()->contentView().Find("progress"); }
    // The shop answers the archive address with an archive.
    HeadlessDownload* OfferArchive(PolicyDecision expected, const std::string& name = "fonts.zip",
                                   std::int64_t length = -1) {
        HeadlessDownload* download = nullptr;
        EXPECT_EQ(expected, Page().respond(kArchive, "application/zip", name, &download, length));
        return download;
    }
};

TEST_F(BuyControllerTest, RunningThePanel) {
    MacPrefs().SetString("buyFrame", "5 6 700 500 0 0 1440 900", false);
    int depth_inside = -1;
    Run({[&] {
        depth_inside = mac_.modal_state_depth;
        EXPECT_EQ(&Panel(), mac_.application.modalWindow());
        EXPECT_EQ("5 6 700 500 0 0 1440 900", Panel().frameString());
        EXPECT_FALSE(Panel().zoomButtonEnabled());
        EXPECT_EQ(std::vector<std::string>{kCart}, Page().loads());
        EXPECT_NE(nullptr, Page().downloadDelegate());
        // Texts translated when the panel opened.
        EXPECT_EQ("Download Folder", Control("folderBox").text);
        EXPECT_EQ("Choose…", Control("choose").text);
        EXPECT_EQ("Install after download and restore text", Control("install").text);
        EXPECT_EQ("Show in Finder", Control("show").text);  // the Mac's own words
        EXPECT_EQ("Close", Control("close").text);
        EXPECT_EQ("Cancel", mac_.nibs.lastBuySheet()->contentView().Find("cancel")->text);
        Panel().userMove(1, 1, 640, 480);
    }});
    EXPECT_EQ(1, depth_inside);
    EXPECT_EQ(0, mac_.modal_state_depth);
    EXPECT_EQ(1, mac_.modal_state_entries);
    EXPECT_TRUE(Logged("Buy: runModal"));
    EXPECT_TRUE(Logged("Buy: cleanup"));
    PlistPrefs reread;
    reread.Open(MacPrefs().path(), "");
    EXPECT_EQ("1 1 640 480 0 0 1440 900", reread.GetString("buyFrame", ""));
}

TEST_F(BuyControllerTest, OnlyArchiveTypesAreDownloaded) {
    MacPrefs().SetString("downloadTo", downloads_.path(), false);
    struct Case {
        const char* type;
        PolicyDecision decision;
    } cases[] = {
        {"application/pdf", PolicyDecision::kUse},
        {"text/html", PolicyDecision::kUse},
        {"application/zip", PolicyDecision::kDownload},
        {"application/octet-stream", PolicyDecision::kDownload},
        {"Application/Zip", PolicyDecision::kUse},
        {"application/zip; charset=binary", PolicyDecision::kUse},
        {"application/x-zip-compressed", PolicyDecision::kUse},
    };
    Run({[&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.type);
            HeadlessDownload* download = nullptr;
            EXPECT_EQ(c.decision, Page().respond(kArchive, c.type, "f.zip", &download));
            EXPECT_TRUE(Logged(std::string("Buy: policyForType: ") + c.type));
            if (download) Click("cancel");
        }
    }});
    EXPECT_EQ(0, mac_.open_panel.runs());
    EXPECT_TRUE(mac_.installs.empty());
}

TEST_F(BuyControllerTest, ArchiveIntoExistingFolderDownloadsWithoutAskingAndInstalls) {
    MacPrefs().SetString("downloadTo", downloads_.path(), false);
    // The older archive of the same name stays; the new one goes beside it.
    testing::WriteFileBytes(downloads_.file("fonts.zip"), "an older archive of the same name");
    const std::string archive = downloads_.file("fonts (2).zip");
    Run({[&] {
        HeadlessDownload* download = OfferArchive(PolicyDecision::kDownload, "fonts.zip", 10);
        ASSERT_NE(nullptr, download);
        EXPECT_EQ(1, mac_.application.sheetsBegun());
        EXPECT_EQ(mac_.nibs.lastBuySheet(), mac_.application.sheet());
        EXPECT_EQ(10, Bar().max_value);
        download->receive("PK\3\4");
        download->receive("abcdef");
        EXPECT_EQ(10, Bar().value);
        download->finish();
        EXPECT_EQ(nullptr, mac_.application.sheet());
    }});
    EXPECT_EQ(0, mac_.open_panel.runs());
    EXPECT_EQ(std::vector<int>{kSheetDownloadFinished}, mac_.application.sheetCodes());
    EXPECT_EQ(std::vector<std::string>{archive}, mac_.installs);
    EXPECT_EQ("PK\3\4abcdef", testing::ReadFileBytes(archive));
    EXPECT_EQ("an older archive of the same name",
              testing::ReadFileBytes(downloads_.file("fonts.zip")));
    EXPECT_EQ(std::vector<std::string>{"'fonts.zip' is already in the download folder: the archive "
                                       "was saved as 'fonts (2).zip'."},
              AlertMessages());
    EXPECT_TRUE(Logged("downloadDidBegin: " + std::string(kArchive)));
    EXPECT_TRUE(Logged("\tsuggestedFileName: fonts.zip"));
    EXPECT_TRUE(Logged("\tdestination: " + archive));
    EXPECT_TRUE(Logged("\tdidReceiveResponse: 10"));
    EXPECT_TRUE(Logged("downloadDidFinish: " + std::string(kArchive)));
    EXPECT_TRUE(Logged("sheetDidEnd"));
}

TEST_F(BuyControllerTest, NoFolderAsksForOne) {
    struct Case {
        const char* name;
        const char* stored;  // "downloadTo" before; "@file" a file, not a folder
        bool choose;
        PolicyDecision decision;
    } cases[] = {
        {"nothing stored, chooser cancelled", "", false, PolicyDecision::kIgnore},
        {"missing folder, chooser cancelled", "/no/such/folder", false, PolicyDecision::kIgnore},
        {"a file is no folder", "@file", false, PolicyDecision::kIgnore},
        {"nothing stored, folder chosen", "", true, PolicyDecision::kDownload},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mac_.alerts.clear();
        const std::string file = downloads_.file("not-a-folder");
        testing::WriteFileBytes(file, "x");
        MacPrefs().SetString("downloadTo", std::string(c.stored) == "@file" ? file : c.stored,
                             false);
        if (c.choose) mac_.open_panel.queueAnswer({kOpenPanelOk, {downloads_.path()}});
        const int runs = mac_.open_panel.runs();
        Run({[&] {
            HeadlessDownload* download = OfferArchive(c.decision);
            if (download) download->finish();
        }});
        EXPECT_EQ(runs + 1, mac_.open_panel.runs());
        const OpenPanelOptions& asked = mac_.open_panel.asked().back();
        EXPECT_EQ("Choose Download Folder", asked.title);
        EXPECT_FALSE(asked.can_choose_files);
        EXPECT_TRUE(asked.can_choose_directories);
        EXPECT_FALSE(asked.allows_multiple_selection);
        EXPECT_TRUE(asked.can_create_directories);
        if (c.choose) {
            EXPECT_TRUE(mac_.alerts.shown().empty());
            EXPECT_EQ(downloads_.path(), MacPrefs().GetString("downloadTo", ""));
        } else {
            ASSERT_EQ(1u, mac_.alerts.shown().size());
            EXPECT_EQ("Invalid Path", mac_.alerts.shown()[0].message);
            EXPECT_EQ("", mac_.alerts.shown()[0].informative);
        }
    }
}

TEST_F(BuyControllerTest, CancelDuringDownloadInstallsNothingAndTheNextPurchaseWorks) {
    MacPrefs().SetString("downloadTo", downloads_.path(), false);
    Run({[&] {
             HeadlessDownload* first = OfferArchive(PolicyDecision::kDownload, "first.zip", 100);
             first->receive("partial");
             Click("cancel");
             EXPECT_TRUE(first->cancelled());
             EXPECT_EQ(nullptr, mac_.application.sheet());
             // The engine stops; a late call would be ignored anyway.
             first->finish();
         },
         [&] {
             HeadlessDownload* second = OfferArchive(PolicyDecision::kDownload, "second.zip", 4);
             ASSERT_NE(nullptr, second);
             second->receive("PK\3\4");
             second->finish();
         }});
    EXPECT_EQ(2, mac_.application.sheetsBegun());
    EXPECT_EQ((std::vector<int>{kSheetDownloadStopped, kSheetDownloadFinished}),
              mac_.application.sheetCodes());
    EXPECT_EQ(std::vector<std::string>{downloads_.file("second.zip")}, mac_.installs);
    EXPECT_TRUE(Logged("doCancelBtn"));
}

TEST_F(BuyControllerTest, ZipPathIsClearedAfterEverySheet) {
    MacPrefs().SetString("downloadTo", downloads_.path(), false);
    Run({[&] {
        // Reach the controller through the page's download delegate.
        auto* controller = dynamic_cast<BuyController*>(Page().downloadDelegate());
        ASSERT_NE(nullptr, controller);
        HeadlessDownload* download = OfferArchive(PolicyDecision::kDownload);
        EXPECT_EQ(downloads_.file("fonts.zip"), controller->zipPath());
        EXPECT_EQ(download, controller->download());
        Click("cancel");
        EXPECT_EQ("", controller->zipPath());
        EXPECT_EQ(nullptr, controller->download());
    }});
    EXPECT_TRUE(mac_.installs.empty());
}

TEST_F(BuyControllerTest, FailedDownloadShowsTheDescriptionAsText) {
    MacPrefs().SetString("downloadTo", downloads_.path(), false);
    Run({[&] {
        HeadlessDownload* download = OfferArchive(PolicyDecision::kDownload);
        EXPECT_TRUE(Bar().indeterminate);
        download->fail({"NSURLErrorDomain", -1005, "Connection lost at 50%n%s"});
    }});
    EXPECT_EQ(std::vector<std::string>{"Connection lost at 50%n%s"}, AlertMessages());
    EXPECT_EQ(std::vector<int>{kSheetDownloadStopped}, mac_.application.sheetCodes());
    EXPECT_TRUE(mac_.installs.empty());
    EXPECT_TRUE(Logged("didFailWithError: " + std::string(kArchive)));
}

TEST_F(BuyControllerTest, SuggestedNamesStayInsideTheFolder) {
    MacPrefs().SetString("downloadTo", downloads_.path(), false);
    struct Case {
        const char* suggested;
        const char* saved_as;  // empty: refused
    } cases[] = {
        {"fonts.zip", "fonts.zip"},
        {"../../evil.zip", "evil.zip"},
        {"/etc/evil.zip", "evil.zip"},
        {"..\\evil.zip", "evil.zip"},
        {"..", ""},
        {"dir/", ""},
        {"", ""},
        {"a\nb.zip", ""},
        {"Sans..Bold.zip", "Sans..Bold.zip"},
        {".fonts.zip", ""},
        {" ", ""},
        {"NUL.zip", ""},
        {"com1", ""},
        {"fonts.zip.", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.suggested);
        mac_.installs.clear();
        mac_.alerts.clear();
        Run({[&] {
            HeadlessDownload* download = OfferArchive(PolicyDecision::kDownload, c.suggested);
            ASSERT_NE(nullptr, download);
            download->receive("PK");
            download->finish();
        }});
        if (*c.saved_as) {
            EXPECT_EQ(std::vector<std::string>{downloads_.file(c.saved_as)}, mac_.installs);
            std::remove(downloads_.file(c.saved_as).c_str());  // the next case saves anew
        } else {
            EXPECT_TRUE(mac_.installs.empty());
            EXPECT_EQ(std::vector<std::string>{"Invalid Path"}, AlertMessages());
            EXPECT_EQ(c.suggested, mac_.alerts.shown().at(0).informative);
        }
    }
}

// An error page with archive headers is no archive: the download stops, its
// file goes, and the user learns the status; nothing is installed.
TEST_F(BuyControllerTest, ErrorStatusStopsTheDownload) {
    MacPrefs().SetString("downloadTo", downloads_.path(), false);
    Run({[&] {
        HeadlessDownload* download = nullptr;
        EXPECT_EQ(PolicyDecision::kDownload,
                  Page().respond(kArchive, "application/zip", "fonts.zip", &download, 17, 500));
        ASSERT_NE(nullptr, download);
        EXPECT_TRUE(download->cancelled());
        download->receive("<html>500</html>");
        download->finish();
    }});
    EXPECT_FALSE(testing::PathExists(downloads_.file("fonts.zip")));
    EXPECT_EQ(std::vector<int>{kSheetDownloadStopped}, mac_.application.sheetCodes());
    EXPECT_TRUE(mac_.installs.empty());
    ASSERT_EQ(1u, mac_.alerts.shown().size());
    EXPECT_EQ("Download error for 'fonts.zip'!", mac_.alerts.shown()[0].message);
    EXPECT_EQ("the server answered with HTTP status 500", mac_.alerts.shown()[0].informative);
    EXPECT_TRUE(Logged("\tdidReceiveResponse: status 500"));
}

TEST_F(BuyControllerTest, InstallBoxIsRestoredSavedAndDecidesTheInstallation) {
    MacPrefs().SetString("downloadTo", downloads_.path(), false);
    struct Case {
        const char* stored;  // "install" before; null: none
        int shown_state;
        bool untick;
        bool installs;
        const char* saved;
    } cases[] = {
        {nullptr, 1, false, true, "1"},
        {"1", 1, true, false, "0"},
        {"0", 0, false, false, "0"},
        {"7", 1, false, true, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "none");
        mac_.installs.clear();
        PlistPrefs& prefs = MacPrefs();
        if (c.stored) {
            prefs.SetString("install", c.stored, false);
        } else {
            prefs.Open(support_.file("fresh.plist"), "");
            prefs.SetString("downloadTo", downloads_.path(), false);
        }
        Run({[&] {
            EXPECT_EQ(c.shown_state, Control("install").state);
            if (c.untick) Control("install").state = 0;
            HeadlessDownload* download = OfferArchive(PolicyDecision::kDownload);
            download->finish();
        }});
        EXPECT_EQ(c.installs, !mac_.installs.empty());
        EXPECT_TRUE(testing::PathExists(downloads_.file("fonts.zip")));
        PlistPrefs reread;
        reread.Open(MacPrefs().path(), "");
        EXPECT_EQ(c.saved, reread.GetString("install", ""));
    }
}

TEST_F(BuyControllerTest, ShowButton) {
    struct Case {
        const char* name;
        bool exists;
    } cases[] = {{"existing folder", true}, {"missing folder", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mac_.alerts.clear();
        const std::string folder = c.exists ? downloads_.path() : downloads_.file("gone");
        MacPrefs().SetString("downloadTo", folder, false);
        const std::size_t selected = mac_.workspace.selectedFiles().size();
        Run({[&] { Click("show"); }});
        if (c.exists) {
            EXPECT_EQ(selected + 1, mac_.workspace.selectedFiles().size());
            EXPECT_EQ(folder, mac_.workspace.selectedFiles().back());
            EXPECT_TRUE(mac_.alerts.shown().empty());
        } else {
            EXPECT_EQ(selected, mac_.workspace.selectedFiles().size());
            ASSERT_EQ(1u, mac_.alerts.shown().size());
            EXPECT_EQ("Invalid Path", mac_.alerts.shown()[0].message);
            EXPECT_EQ(folder, mac_.alerts.shown()[0].informative);
        }
    }
}

TEST_F(BuyControllerTest, SecondDownloadWhileOneRunsIsCancelled) {
    MacPrefs().SetString("downloadTo", downloads_.path(), false);
    Run({[&] {
        HeadlessDownload* first = OfferArchive(PolicyDecision::kDownload, "a.zip");
        HeadlessDownload* second = OfferArchive(PolicyDecision::kDownload, "b.zip");
        EXPECT_TRUE(second->cancelled());
        EXPECT_FALSE(first->cancelled());
        first->finish();
    }});
    EXPECT_EQ(1, mac_.application.sheetsBegun());
    EXPECT_EQ(std::vector<std::string>{downloads_.file("a.zip")}, mac_.installs);
    EXPECT_FALSE(testing::PathExists(downloads_.file("b.zip")));
}

TEST_F(BuyControllerTest, NavigationIsAlwaysUsed) {
    Run({[&] {
        EXPECT_EQ(PolicyDecision::kUse, Page().navigate("http://shop.test/anything?x"));
        EXPECT_EQ(PolicyDecision::kUse, Page().navigate("glyphoria://try?id=1"));
    }});
    EXPECT_TRUE(mac_.tries.empty());
    EXPECT_TRUE(Logged("Buy: policyForNavigation: http://shop.test/anything?x"));
}

}  // namespace
}  // namespace glyphoria::mac
