// The web-window library over the real web engine, as the plug-in meets it:
// loaded by its path, driven through "main", its page shown by WebKitGTK in
// a real window, its links clicked by the engine, calling back through a
// fake plug-in. This test plays a host that runs GTK itself (it opens GTK
// and owns a window); the host program's script mode, where the library
// opens GTK, is in tests/e2e/gui_session_test.cpp.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>

#include "testing/shop/pages.h"
#include "tests/common/gui_display.h"
#include "tests/common/gui_env.h"
#include "tests/common/test_env.h"
#include "tests/testing/fake_plugin.h"
#include "tests/testing/standin_test_support.h"
// Last: the X11 headers define macros (None, Bool) that clash with GoogleTest.
#include <gdk/gdkx.h>

namespace glyphoria::testing::standin {
namespace {

namespace fs = std::filesystem;

// Runs GTK's events until done() or ten seconds.
bool PumpUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < end)
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
    return done();
}

std::vector<GtkWindow*> ShownToplevels() {
    std::vector<GtkWindow*> shown;
    GList* all = gtk_window_list_toplevels();
    for (GList* it = all; it; it = it->next) {
        GtkWindow* window = GTK_WINDOW(it->data);
        // Mapped: a closed window may linger in the list until the engine
        // lets go of it.
        if (gtk_window_get_window_type(window) == GTK_WINDOW_TOPLEVEL &&
            gtk_widget_get_mapped(GTK_WIDGET(window)))
            shown.push_back(window);
    }
    g_list_free(all);
    return shown;
}

void CollectButtonLabels(GtkWidget* widget, std::vector<std::string>* labels) {
    if (GTK_IS_BUTTON(widget)) {
        const char* label = gtk_button_get_label(GTK_BUTTON(widget));
        labels->push_back(label ? label : "");
    }
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* it = children; it; it = it->next)
            CollectButtonLabels(GTK_WIDGET(it->data), labels);
        g_list_free(children);
    }
}

class WebWindowGtkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GLYPHORIA_REQUIRE_DISPLAY();
        if (!shop_) {
            // The host opens GTK before anything else, and keeps its locale.
            gtk_disable_setlocale();
            ASSERT_TRUE(OpenGuiDisplay());
            shop_ = StartShop().release();
            ASSERT_NE(shop_, nullptr);
            ASSERT_TRUE(lib_.Load(GLYPHORIA_WEBWINDOW_GTK_PATH));
        }
        ASSERT_EQ(lib_.control("reset", nullptr), 1);
        FakePlugin::Get().Reset();
        ASSERT_EQ(lib_.control("downloadFolder", downloads_.path().c_str()), 1);
    }

    void TearDown() override {
        if (HasFailure())
            for (const std::string& line : lib_.RecordLines())
                std::cerr << "  | " << line << "\n";
        if (lib_.control) lib_.control("reset", nullptr);
    }

    // The text must outlive the call: a literal, or a string the caller keeps.
    static intptr_t Arg(const char* text) { return LibraryEntries::Arg(text); }
    static intptr_t Arg(const std::string& text) { return LibraryEntries::Arg(text.c_str()); }

    // Registers the fake plug-in and shows the page at address (the shop's
    // sampler page by default) until it has loaded.
    void Open(const std::string& address = "") {
        std::string start = address.empty() ? shop_->sampler_page_url() : address;
        ASSERT_EQ(lib_.main("version", LibraryEntries::Callback()), 28);
        ASSERT_EQ(lib_.main("showTryWnd", Arg(start)), 1);
        ASSERT_EQ(lib_.act("wait", nullptr), 1) << lib_.LastNote();
    }

    // The library's window: the shown toplevel that is not the test's own.
    static GtkWindow* Sampler() {
        for (GtkWindow* window : ShownToplevels())
            if (window != host_) return window;
        return nullptr;
    }

    static shop::Shop* shop_;
    static LibraryEntries lib_;
    static GtkWindow* host_;
    TempDir downloads_;
};

shop::Shop* WebWindowGtkTest::shop_ = nullptr;
LibraryEntries WebWindowGtkTest::lib_;
GtkWindow* WebWindowGtkTest::host_ = nullptr;

TEST_F(WebWindowGtkTest, AnswersTheCommandTableExactly) {
    ExpectTheCommandTable(lib_, shop_->sampler_page_url());
}

TEST_F(WebWindowGtkTest, TheSamplerPageLoadsAndShowsInTheWindow) {
    Open();
    EXPECT_TRUE(lib_.Recorded("load\t" + shop_->sampler_page_url() + "\tok"));
    EXPECT_EQ(lib_.main("isTryWndVisible", 0), 1);
    GtkWindow* window = Sampler();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(gtk_widget_get_mapped(GTK_WIDGET(window)));
    // What the engine drew: the page's dark text on its light ground.
    TempDir pictures;
    std::string png = pictures.file("page.png");
    ASSERT_EQ(lib_.act("snapshot", png.c_str()), 1) << lib_.LastNote();
    std::optional<Image> image = DecodePng(ReadFileBytes(png));
    ASSERT_TRUE(image.has_value());
    EXPECT_GT(image->width, 300);
    int dark = 0, light = 0;
    for (uint32_t pixel : image->pixels) {
        int green = (pixel >> 8) & 0xFF;
        dark += green < 64;
        light += green > 192;
    }
    EXPECT_GT(dark, 200);
    EXPECT_GT(light, image->width * image->height / 2);
}

TEST_F(WebWindowGtkTest, TitleAndButtonTextsComeFromThePlugin) {
    struct Case {
        std::map<std::string, std::string> texts;
        std::string title;
        std::string close_button;
    } cases[] = {
        // The English table: no "glyphoria", so the plug-in answers the key.
        {{{"glyphoria", "glyphoria"}, {"glyphoria1", "Glyphoria\xE2\x80\xA6"}, {"close", "Close"}},
         "Glyphoria",
         "Close"},
        // The German table in a Western code page (0x85 is the ellipsis).
        {{{"glyphoria", "Schriftmuster \x85"},
          {"close",
           "Schlie\xDF"
           "en"}},
         "Schriftmuster",
         "Schlie\xC3\x9F"
         "en"},
        {{{"glyphoria", "glyphoria"}, {"glyphoria1", "glyphoria1"}, {"close", ""}},
         "Glyphoria",
         "close"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        FakePlugin::Get().texts = c.texts;
        Open();
        GtkWindow* window = Sampler();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(gtk_window_get_title(window), c.title);
        std::vector<std::string> labels;
        CollectButtonLabels(GTK_WIDGET(window), &labels);
        EXPECT_NE(std::find(labels.begin(), labels.end(), c.close_button), labels.end());
        ASSERT_EQ(lib_.control("reset", nullptr), 1);
    }
}

TEST_F(WebWindowGtkTest, PageLinksClickedByTheEngineReachThePlugin) {
    Open();
    size_t windows = ShownToplevels().size();
    ExpectPageActionsReachThePlugin(lib_, *shop_);
    // The page was never left, and the new window went to the plug-in only.
    EXPECT_EQ(ShownToplevels().size(), windows);
    EXPECT_EQ(lib_.act("try", "1005"), 5);
}

// Window mode: the host runs GTK's loop, and the page's clicks reach the
// plug-in from it with nobody waiting; an act from inside the loop nests.
TEST_F(WebWindowGtkTest, InTheHostsLoopClicksArriveByThemselvesAndActsNest) {
    Open();
    GtkWidget* view = gtk_bin_get_child(GTK_BIN(Sampler()));  // the box
    GList* parts = gtk_container_get_children(GTK_CONTAINER(view));
    for (GList* it = parts; it; it = it->next)
        if (WEBKIT_IS_WEB_VIEW(it->data)) view = GTK_WIDGET(it->data);
    g_list_free(parts);
    ASSERT_TRUE(WEBKIT_IS_WEB_VIEW(view));
    // A user's click on the revert link, as the page would get it.
    webkit_web_view_evaluate_javascript(WEBKIT_WEB_VIEW(view),
                                        "document.getElementById('revert').click()", -1, nullptr,
                                        nullptr, nullptr, nullptr, nullptr);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    struct Run {
        GMainLoop* loop;
        int32_t try_answer = -2;
    } run{loop};
    guint watch = g_timeout_add(
        10,
        [](gpointer data) -> gboolean {
            auto* run = static_cast<Run*>(data);
            if (FakePlugin::Get().CallsOf("doRevert").empty()) return G_SOURCE_CONTINUE;
            // Inside the loop, as a host's script would be.
            run->try_answer = lib_.act("try", "1002");
            g_main_loop_quit(run->loop);
            return G_SOURCE_REMOVE;
        },
        &run);
    guint limit = g_timeout_add_seconds(
        10,
        [](gpointer loop) -> gboolean {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
        },
        loop);
    g_main_loop_run(loop);
    g_source_remove(limit);
    if (run.try_answer == -2) g_source_remove(watch);
    g_main_loop_unref(loop);
    ASSERT_EQ(FakePlugin::Get().CallsOf("doRevert").size(), 1u);
    EXPECT_EQ(FakePlugin::Get().CallsOf("doRevert")[0].argument, "all=1");
    EXPECT_EQ(run.try_answer, 0) << lib_.LastNote();
    ASSERT_EQ(FakePlugin::Get().CallsOf("doTry").size(), 1u);
    EXPECT_EQ(FakePlugin::Get().CallsOf("doTry")[0].argument.rfind("id=1002&", 0), 0u);
}

TEST_F(WebWindowGtkTest, ArchivesGoToThePluginFirstAndElseDownloadAsInABrowser) {
    Open();
    struct Case {
        const char* selector;
        int32_t answer;       // the plug-in's answer to "doBuy"
        bool follows;         // "buyFollows"
        int32_t expected;     // what "buy" answers
        const char* outcome;  // the record's download outcome; "" when none
        const char* saved;    // file name in the download folder; "" when none
    } cases[] = {
        {"/download/ok/", 1, true, 1, "taken", ""},
        {"/download/ok/", 0, true, 0, "saved", "TeXGyreTermes-Regular.zip"},
        {"/download/type-params/", 0, true, 0, "saved", "GlyphoriaFonts.zip"},
        {"/download/ok/", 0, false, 0, "declined", ""},
        // A server name that climbs out of the folder stays in it.
        {"/download/traversal/", 0, true, 0, "saved", "evil.zip"},
        // A page is shown, not offered.
        {"/download/html/", 1, true, -1, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.selector) + " answer " + std::to_string(c.answer));
        TempDir folder;
        ASSERT_EQ(lib_.control("downloadFolder", folder.path().c_str()), 1);
        ASSERT_EQ(lib_.control("buyFollows", c.follows ? "1" : "0"), 1);
        ASSERT_EQ(lib_.control("clearRecord", nullptr), 1);
        FakePlugin::Get().Reset();
        FakePlugin::Get().answers["doBuy"] = c.answer;
        EXPECT_EQ(lib_.act("buy", c.selector), c.expected) << lib_.LastNote();
        std::vector<FakePlugin::Call> offered = FakePlugin::Get().CallsOf("doBuy");
        ASSERT_EQ(offered.size(), *c.outcome ? 1u : 0u);
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(folder.path()))
            files.push_back(entry.path().filename().string());
        EXPECT_EQ(files, *c.saved ? std::vector<std::string>{c.saved} : std::vector<std::string>{});
        if (*c.outcome) {
            const std::string& address = offered[0].argument;
            EXPECT_NE(address.find(c.selector), std::string::npos) << address;
            std::string line = "download\t" + address + "\t" + c.outcome;
            if (*c.saved) line += "\t" + folder.file(c.saved);
            EXPECT_TRUE(lib_.Recorded(line)) << line;
        }
        if (*c.saved) {
            // The bytes the server sends for that address.
            const std::string& address = offered[0].argument;
            HttpAnswer served = Get(shop_->base_url(), address.substr(shop_->base_url().size()));
            EXPECT_EQ(ReadFileBytes(folder.file(c.saved)), served.body);
        }
        // Back on the page it started from, ready for the next click.
        EXPECT_EQ(lib_.act("try", "2001"), 0) << lib_.LastNote();
    }
    EXPECT_FALSE(PathExists(TestHome() + "/evil.zip"));
    EXPECT_EQ(lib_.act("buy", "no-such-link"), -1);
    EXPECT_EQ(lib_.LastNote(), "buy: no download link matches no-such-link");
}

TEST_F(WebWindowGtkTest, AnAddressThatDoesNotLoadShowsTheReasonAndActsFail) {
    // A port bound but not listening refuses; port 1 the engine never tries.
    int socket_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(socket_fd, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(getsockname(socket_fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string refused =
        "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/glyphoria";
    for (const std::string& nowhere : {refused, std::string("http://127.0.0.1:1/glyphoria")}) {
        SCOPED_TRACE(nowhere);
        FakePlugin::Get().Reset();
        ASSERT_EQ(lib_.main("version", LibraryEntries::Callback()), 28);
        EXPECT_EQ(lib_.main("showTryWnd", Arg(nowhere)), 1);
        EXPECT_EQ(lib_.main("isTryWndVisible", 0), 1);
        EXPECT_EQ(lib_.act("wait", nullptr), -1);
        EXPECT_EQ(lib_.LastNote().rfind("wait: the page did not load (", 0), 0u) << lib_.LastNote();
        EXPECT_EQ(lib_.act("try", "1001"), -1);
        EXPECT_TRUE(FakePlugin::Get().CallsOf("doTry").empty());
        bool failure_recorded = false;
        for (const std::string& line : lib_.RecordLines())
            failure_recorded |= line.rfind("load\t" + nowhere + "\t", 0) == 0 &&
                                line != "load\t" + nowhere + "\tok";
        EXPECT_TRUE(failure_recorded);
        // The same window loads a good address afterwards.
        EXPECT_EQ(lib_.main("showTryWnd", Arg(shop_->sampler_page_url())), 1);
        EXPECT_EQ(lib_.act("wait", nullptr), 1) << lib_.LastNote();
        EXPECT_EQ(lib_.act("try", "1001"), 0);
        ASSERT_EQ(lib_.control("reset", nullptr), 1);
    }
    close(socket_fd);
}

TEST_F(WebWindowGtkTest, SizeAndPlaceAreKeptThroughThePluginsPreferences) {
    FakePlugin::Get().prefs["tryWndRect"] = "150 100 640 520";
    Open();
    GtkWindow* window = Sampler();
    ASSERT_NE(window, nullptr);
    auto placed = [&window](int x, int y, int width, int height) {
        return PumpUntil([&] {
            int px, py, pw, ph;
            gtk_window_get_position(window, &px, &py);
            gtk_window_get_size(window, &pw, &ph);
            return px == x && py == y && pw == width && ph == height;
        });
    };
    EXPECT_TRUE(placed(150, 100, 640, 520));
    gtk_window_move(window, 210, 130);
    gtk_window_resize(window, 700, 560);
    ASSERT_TRUE(placed(210, 130, 700, 560));
    EXPECT_EQ(lib_.main("closeTryWnd", 0), 0);
    EXPECT_EQ(FakePlugin::Get().prefs["tryWndRect"], "210 130 700 560");

    // Closed by hand: remembered the same way.
    Open();
    window = Sampler();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(placed(210, 130, 700, 560));
    gtk_window_resize(window, 600, 450);
    ASSERT_TRUE(placed(210, 130, 600, 450));
    gtk_window_close(window);
    EXPECT_TRUE(PumpUntil([] { return lib_.main("isTryWndVisible", 0) == 0; }));
    EXPECT_EQ(FakePlugin::Get().prefs["tryWndRect"], "210 130 600 450");

    // A damaged value, or one that fills the whole 255 bytes, gives the
    // default size; the buffer is never overrun.
    const std::string full(kGlyphoriaPrefValueCapacity - 1, '7');
    for (const std::string& stored :
         {std::string("junk"), std::string("1 2 3"), std::string("0 0 10 10"),
          std::string("0 0 640 480 9"), std::string("-99999 0 640 480"), full}) {
        SCOPED_TRACE(stored);
        FakePlugin::Get().prefs["tryWndRect"] = stored;
        Open();
        int width = 0, height = 0;
        gtk_window_get_size(Sampler(), &width, &height);
        EXPECT_EQ(width, 820);
        EXPECT_EQ(height, 760);
        EXPECT_EQ(lib_.main("closeTryWnd", 0), 0);
    }
    for (const std::string& line : lib_.RecordLines())
        EXPECT_EQ(line.find("overrun"), std::string::npos) << line;
}

TEST_F(WebWindowGtkTest, TheWindowBelongsToTheHostWindowWhenHostWndNamesOne) {
    if (!host_) {
        host_ = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
        gtk_window_set_title(host_, "host");
        gtk_widget_show(GTK_WIDGET(host_));
    }
    GdkWindow* own = gtk_widget_get_window(GTK_WIDGET(host_));
    ASSERT_TRUE(GDK_IS_X11_WINDOW(own));
    auto xid = static_cast<int32_t>(GDK_WINDOW_XID(own));
    struct Case {
        int32_t answer;
        GtkWindow* owner;
    } cases[] = {{xid, host_}, {0, nullptr}, {0x484f5354, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        FakePlugin::Get().answers["hostWnd"] = c.answer;
        Open();
        GtkWindow* window = Sampler();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(gtk_window_get_transient_for(window), c.owner);
        EXPECT_EQ(FakePlugin::Get().CallsOf("hostWnd").size(), 1u);
        ASSERT_EQ(lib_.control("reset", nullptr), 1);
        FakePlugin::Get().Reset();
    }
}

TEST_F(WebWindowGtkTest, AChosenDownloadFolderIsStoredOnlyWhenItFits) {
    ASSERT_EQ(lib_.main("version", LibraryEntries::Callback()), 28);
    TempDir deep;
    std::string long_path = deep.path();
    while (long_path.size() < kGlyphoriaPrefValueCapacity)
        long_path += "/" + std::string(40, 'd');
    ASSERT_TRUE(fs::create_directories(long_path));
    std::string file = deep.file("plain.txt");
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    struct Case {
        std::string path;
        int32_t expected;
    } cases[] = {{deep.path(), 1}, {long_path, -1}, {file, -1}, {"", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        FakePlugin::Get().Reset();
        EXPECT_EQ(lib_.act("chooseFolder", c.path.c_str()), c.expected);
        EXPECT_EQ(FakePlugin::Get().prefs.count("downloadFolder"), c.expected == 1 ? 1u : 0u);
        if (c.expected == 1) {
            EXPECT_EQ(FakePlugin::Get().prefs["downloadFolder"], c.path);
        }
    }
}

}  // namespace
}  // namespace glyphoria::testing::standin
