// The layout window in this process: the page it shows is the host's own
// picture, the pointer selects, the menus show the plug-ins' states and run
// them, keys, undo and redo by name, the modal-dialog state, repainting
// after changes nobody announced, and closing.
#include <functional>
#include <sstream>

#include "host/app/render_surface.h"
#include "host/app/script.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/session.h"
#include "tests/common/test_env.h"
#include "tests/common/test_png.h"
#include "window_fixture.h"

// From gdk/gdkx.h, whose X11 macros would clash with the test framework's names.
extern "C" unsigned long gdk_x11_window_get_xid(GdkWindow* window);

namespace windowtest {
namespace {

using glyphoria::testing::TempDir;

// Runs a script line as the program would, its transcript returned.
std::string RunLine(const std::string& line, const std::string& folder = "") {
    std::ostringstream out;
    hostapp::ScriptContext ctx{&out, folder, ""};
    EXPECT_TRUE(hostapp::RunScriptLine(line, 1, ctx)) << out.str();
    return out.str();
}

struct Surface {
    cairo_surface_t* s;
    explicit Surface(cairo_surface_t* surface) : s(surface) {}
    ~Surface() {
        if (s) cairo_surface_destroy(s);
    }
};

class LayoutWindowTest : public WindowTest {};

// With nothing selected the page is the host's picture pixel for pixel, at
// every zoom and after every change; the window's own photograph holds the
// same pixels where the page sits.
TEST_F(LayoutWindowTest, ThePageShownIsTheHostsOwnPicture) {
    OpenWindow();
    TempDir dir;
    glyphoria::testing::WriteGreyPng(dir.file("grey.png"), 40, 20, 0x60);
    const struct Step {
        const char* what;
        std::function<void()> act;
    } steps[] = {
        {"as opened", [] {}},
        {"a frame replaced by a picture", [&] { RunLine("place alpha grey.png", dir.path()); }},
        {"undone", [&] { window->Undo(); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        hostcore::ClearSelection();
        for (double zoom : {1.5, 1.0}) {
            SCOPED_TRACE(zoom);
            ASSERT_TRUE(window->SetZoom(zoom));
            Settle();
            std::string error;
            Surface page(window->View().PagePicture(&error));
            ASSERT_NE(nullptr, page.s) << error;
            Surface render(Render(zoom));
            EXPECT_EQ(0, Compare(render.s, page.s).count);
        }
        Surface shown(window->Picture());
        double x, y;
        PagePoint(0, 0, &x, &y);
        int wx = 0, wy = 0;
        ASSERT_TRUE(
            gtk_widget_translate_coordinates(window->View().Widget(), GTK_WIDGET(window->Window()),
                                             static_cast<int>(x), static_cast<int>(y), &wx, &wy));
        Surface render(Render(1));
        EXPECT_EQ(0, Compare(shown.s, render.s, wx, wy).count);
    }
}

// The selection's marks are drawn on the selected frame's edge only.
TEST_F(LayoutWindowTest, SelectionMarksStayOnTheSelectedFrame) {
    OpenWindow();
    hostcore::SelectItems({Frame("beta")});  // (10, 100) to (210, 150)
    Settle();
    std::string error;
    Surface page(window->View().PagePicture(&error));
    Surface render(Render(1));
    const Difference d = Compare(render.s, page.s);
    EXPECT_GT(d.count, 200);
    EXPECT_GE(d.left, 10 - 4);
    EXPECT_LE(d.right, 210 + 4);
    EXPECT_GE(d.top, 100 - 4);
    EXPECT_LE(d.bottom, 150 + 4);
}

// Clicks, Shift+clicks and dragged rectangles on the test model: alpha
// (10,10)-(210,60), beta (10,100)-(210,150), empty (300,10)-(400,110) and
// tilted (300,200)-(400,250) turned a quarter, so it stands from x 325 to
// 375 and y 175 to 275.
TEST_F(LayoutWindowTest, ThePointerSelects) {
    OpenWindow();
    const struct Case {
        const char* what;
        double x0, y0, x1, y1;  // x1 < 0: a click
        bool shift;
        std::vector<const char*> selected;
    } cases[] = {
        {"click on alpha", 50, 30, -1, 0, false, {"alpha"}},
        {"shift+click adds beta", 50, 120, -1, 0, true, {"alpha", "beta"}},
        {"shift+click takes alpha away", 50, 30, -1, 0, true, {"beta"}},
        {"click on nothing", 250, 300, -1, 0, false, {}},
        {"rectangle over both", 0, 0, 220, 110, false, {"alpha", "beta"}},
        {"shift+rectangle adds empty", 290, 0, 410, 15, true, {"alpha", "beta", "empty"}},
        {"inside tilted's upright box, outside its outline", 310, 225, -1, 0, false, {}},
        {"outside the upright box, inside the outline", 350, 180, -1, 0, false, {"tilted"}},
        {"an empty frame is hit inside", 350, 60, -1, 0, false, {"empty"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.x1 < 0)
            ClickPage(c.x0, c.y0, c.shift);
        else
            DragPage(c.x0, c.y0, c.x1, c.y1, c.shift);
        std::vector<UID> expected;
        for (const char* name : c.selected)
            expected.push_back(Frame(name));
        EXPECT_EQ(expected, Selected());
    }
}

// A change that does not come through the window (a plug-in's, from a web
// page or a timer) is painted without anyone asking.
TEST_F(LayoutWindowTest, ChangesFromElsewhereArePainted) {
    OpenWindow();
    int draws = 0;
    g_signal_connect_after(window->View().Widget(), "draw",
                           G_CALLBACK(+[](GtkWidget*, cairo_t*, gpointer n) {
                               ++*static_cast<int*>(n);
                               return FALSE;
                           }),
                           &draws);
    Pump(100);
    const int before = draws;
    hostcore::SelectItems({Frame("alpha")});
    Pump(200);
    EXPECT_GT(draws, before);
    const std::string title = gtk_window_get_title(window->Window());
    EXPECT_EQ("test.json - glyphoria-host", title);
}

TEST_F(LayoutWindowTest, MenusShowThePlugInsStatesAndRunThem) {
    TestPlugInCounters* c = LoadTestPlugIn();
    ASSERT_NE(nullptr, c);
    OpenWindow();
    GtkWidget* toggle = window->ActionItem(kToggleAction);
    GtkWidget* only = window->ActionItem(kSelectionAction);
    ASSERT_TRUE(toggle && only);

    OpenMenu("Test");
    EXPECT_EQ("Toggle", Label(toggle));
    EXPECT_TRUE(Sensitive(toggle));
    EXPECT_FALSE(Checked(toggle));
    EXPECT_EQ("Selection only", Label(only));
    EXPECT_FALSE(Sensitive(only));

    gtk_menu_item_activate(GTK_MENU_ITEM(toggle));
    EXPECT_EQ(1, c->actionsDone);
    ClickPage(50, 30);
    OpenMenu("Test");
    EXPECT_TRUE(Checked(toggle));
    EXPECT_EQ("Act on selection", Label(only));  // renamed by the plug-in
    EXPECT_TRUE(Sensitive(only));
    gtk_menu_item_activate(GTK_MENU_ITEM(only));
    EXPECT_EQ(2, c->actionsDone);
}

// The idle task runs from the window's loop with the window as the host's
// main window; the key it binds then runs its action, in either case.
TEST_F(LayoutWindowTest, IdleTaskRunsAndItsShortcutWorks) {
    TestPlugInCounters* c = LoadTestPlugIn();
    ASSERT_NE(nullptr, c);
    OpenWindow();
    Pump(100);
    EXPECT_EQ(1, c->idleRuns);
    EXPECT_EQ(gdk_x11_window_get_xid(gtk_widget_get_window(GTK_WIDGET(window->Window()))),
              c->hostWindow);
    PressKey(GDK_KEY_t);
    PressKey(GDK_KEY_T, GDK_SHIFT_MASK);
    EXPECT_EQ(2, c->actionsDone);
    PressKey(GDK_KEY_u);  // bound to nothing
    EXPECT_EQ(2, c->actionsDone);
}

// While a plug-in holds the modal-dialog state, menus, keys, the pointer,
// idle tasks and the close box do nothing; afterwards all work again.
TEST_F(LayoutWindowTest, ModalStateBlocksTheWindow) {
    TestPlugInCounters* c = LoadTestPlugIn();
    ASSERT_NE(nullptr, c);
    {
        AcquireModalDialogState modal;
        OpenWindow();
        Pump(100);
        EXPECT_EQ(0, c->idleRuns);
        OpenMenu("Test");
        OpenMenu("Edit");
        EXPECT_FALSE(Sensitive(window->ActionItem(kToggleAction)));
        EXPECT_FALSE(Sensitive(Item("Edit", 3)));  // Select All
        gtk_menu_item_activate(GTK_MENU_ITEM(window->ActionItem(kToggleAction)));
        gtk_menu_item_activate(GTK_MENU_ITEM(Item("Edit", 3)));
        ClickPage(50, 30);
        PressKey(GDK_KEY_a, GDK_CONTROL_MASK);
        gtk_window_close(window->Window());
        Pump(50);
        EXPECT_EQ(0, c->actionsDone);
        EXPECT_TRUE(Selected().empty());
        EXPECT_FALSE(window->Closed());
    }
    Pump(100);
    EXPECT_EQ(1, c->idleRuns);
    OpenMenu("Test");
    EXPECT_TRUE(Sensitive(window->ActionItem(kToggleAction)));
    PressKey(GDK_KEY_t);
    EXPECT_EQ(1, c->actionsDone);
    PressKey(GDK_KEY_a, GDK_CONTROL_MASK);
    EXPECT_EQ(4u, Selected().size());
    PressKey(GDK_KEY_A, GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK));
    EXPECT_TRUE(Selected().empty());
}

// The Edit menu names the step it would undo or redo; Ctrl+Z and
// Ctrl+Shift+Z do it, and the page follows.
TEST_F(LayoutWindowTest, UndoAndRedoByNameAndKey) {
    OpenWindow();
    GtkWidget* undo = Item("Edit", 0);
    GtkWidget* redo = Item("Edit", 1);
    OpenMenu("Edit");
    EXPECT_EQ("Undo", Label(undo));
    EXPECT_FALSE(Sensitive(undo));
    EXPECT_FALSE(Sensitive(redo));

    TempDir dir;
    glyphoria::testing::WriteGreyPng(dir.file("grey.png"), 40, 20, 0x60);
    std::string error;
    Surface before(window->View().PagePicture(&error));
    RunLine("place alpha grey.png", dir.path());
    hostcore::ClearSelection();
    Settle();
    Surface placed(window->View().PagePicture(&error));
    EXPECT_GT(Compare(before.s, placed.s).count, 0);
    OpenMenu("Edit");
    EXPECT_EQ("Undo Place", Label(undo));
    EXPECT_TRUE(Sensitive(undo));

    PressKey(GDK_KEY_z, GDK_CONTROL_MASK);
    EXPECT_TRUE(doc->UndoSteps().empty());
    Surface undone(window->View().PagePicture(&error));
    EXPECT_EQ(0, Compare(before.s, undone.s).count);
    OpenMenu("Edit");
    EXPECT_EQ("Undo", Label(undo));
    EXPECT_FALSE(Sensitive(undo));
    EXPECT_EQ("Redo Place", Label(redo));
    EXPECT_TRUE(Sensitive(redo));

    PressKey(GDK_KEY_Z, GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK));
    ASSERT_EQ(1u, doc->UndoSteps().size());
    Surface redone(window->View().PagePicture(&error));
    EXPECT_EQ(0, Compare(placed.s, redone.s).count);
    gtk_menu_item_activate(GTK_MENU_ITEM(undo));
    EXPECT_TRUE(doc->UndoSteps().empty());
}

// Saving clears the changed mark and writes what is shown; opening another
// file shows it; the zoom keys step through the zooms.
TEST_F(LayoutWindowTest, SaveOpenAndZoom) {
    OpenWindow();
    TempDir dir;
    glyphoria::testing::WriteGreyPng(dir.file("grey.png"), 40, 20, 0x60);
    RunLine("place alpha grey.png", dir.path());
    Settle();
    std::string error;
    ASSERT_TRUE(window->SaveDocumentFile(dir.file("saved.json"), &error)) << error;
    Settle();
    EXPECT_EQ("saved.json - glyphoria-host", std::string(gtk_window_get_title(window->Window())));

    ASSERT_TRUE(window->OpenDocumentFile(EXAMPLES_DIR "/sampler.json", &error)) << error;
    Settle();
    EXPECT_EQ("sampler.json - glyphoria-host", std::string(gtk_window_get_title(window->Window())));
    ASSERT_TRUE(window->OpenDocumentFile(dir.file("saved.json"), &error)) << error;
    doc = hostcore::FrontDocument();
    EXPECT_EQ(kInvalidUID, Frame("alpha"));  // the picture took its place
    EXPECT_FALSE(window->OpenDocumentFile(dir.file("missing.json"), &error));
    EXPECT_EQ(doc, hostcore::FrontDocument());

    const struct {
        guint key;
        double zoom;
    } steps[] = {{GDK_KEY_plus, 1.25}, {GDK_KEY_equal, 1.5}, {GDK_KEY_minus, 1.25}, {GDK_KEY_0, 1}};
    for (const auto& step : steps) {
        PressKey(step.key, GDK_CONTROL_MASK);
        EXPECT_EQ(step.zoom, window->View().Zoom());
    }
}

// Closing the window ends the session once: the plug-ins shut down, the
// program hears of it, and nothing shuts down again when the window goes.
TEST_F(LayoutWindowTest, ClosingShutsThePlugInsDownOnce) {
    TestPlugInCounters* c = LoadTestPlugIn();
    ASSERT_NE(nullptr, c);
    OpenWindow();
    EXPECT_EQ(1, c->startups);
    gtk_window_close(window->Window());
    Pump(50);
    EXPECT_TRUE(window->Closed());
    EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(window->Window())));
    EXPECT_EQ(1, c->shutdowns);
    EXPECT_EQ(1, closeHandlerRuns);
    window->Close();
    window.reset();
    EXPECT_EQ(1, c->shutdowns);
    EXPECT_EQ(1, closeHandlerRuns);
    EXPECT_EQ(0x484f5354u, hostcore::MainWindowHandle());
}

// With changes not saved the close box asks first: Cancel keeps the window,
// Don't Save closes it.
TEST_F(LayoutWindowTest, ClosingWithChangesAsks) {
    OpenWindow();
    TempDir dir;
    glyphoria::testing::WriteGreyPng(dir.file("grey.png"), 40, 20, 0x60);
    RunLine("place alpha grey.png", dir.path());
    Settle();
    EXPECT_EQ("test.json * - glyphoria-host", std::string(gtk_window_get_title(window->Window())));
    for (GtkResponseType answer : {GTK_RESPONSE_CANCEL, GTK_RESPONSE_REJECT}) {
        // The question runs its own loop; it is answered from inside it.
        static GtkResponseType pending;
        static int asked;
        pending = answer;
        asked = 0;
        g_timeout_add(
            50,
            [](gpointer) -> gboolean {
                GList* all = gtk_window_list_toplevels();
                for (GList* it = all; it; it = it->next)
                    if (GTK_IS_MESSAGE_DIALOG(it->data) &&
                        gtk_widget_get_visible(GTK_WIDGET(it->data))) {
                        ++asked;
                        gtk_dialog_response(GTK_DIALOG(it->data), pending);
                    }
                g_list_free(all);
                return asked ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
            },
            nullptr);
        gtk_window_close(window->Window());
        Pump(300);
        EXPECT_EQ(1, asked);
        EXPECT_EQ(answer == GTK_RESPONSE_REJECT, window->Closed());
    }
}

}  // namespace
}  // namespace windowtest
