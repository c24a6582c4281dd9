#include "window_fixture.h"

#include <chrono>

#include "host/app/doc_io.h"
#include "host/app/plugin_loader.h"
#include "host/app/render_surface.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/window/window_script.h"
#include "platform/library.h"
#include "tests/common/gui_display.h"
#include "tests/common/gui_env.h"
#include "tests/host/host_fixture.h"

namespace windowtest {

namespace platform = glyphoria::platform;

Difference Compare(cairo_surface_t* a, cairo_surface_t* b, int ox, int oy) {
    Difference d;
    d.left = cairo_image_surface_get_width(b);
    d.top = cairo_image_surface_get_height(b);
    cairo_surface_flush(a);
    cairo_surface_flush(b);
    const int wa = cairo_image_surface_get_width(a), ha = cairo_image_surface_get_height(a);
    const int wb = cairo_image_surface_get_width(b), hb = cairo_image_surface_get_height(b);
    const unsigned char* pa = cairo_image_surface_get_data(a);
    const unsigned char* pb = cairo_image_surface_get_data(b);
    const int sa = cairo_image_surface_get_stride(a), sb = cairo_image_surface_get_stride(b);
    for (int y = 0; y < hb; ++y) {
        for (int x = 0; x < wb; ++x) {
            const bool inside = x + ox >= 0 && x + ox < wa && y + oy >= 0 && y + oy < ha;
            const uint32_t cb = reinterpret_cast<const uint32_t*>(pb + y * sb)[x] & 0xffffff;
            const uint32_t ca =
                inside ? reinterpret_cast<const uint32_t*>(pa + (y + oy) * sa)[x + ox] & 0xffffff
                       : ~cb;
            if (ca == cb) continue;
            ++d.count;
            d.left = std::min(d.left, x);
            d.top = std::min(d.top, y);
            d.right = std::max(d.right, x);
            d.bottom = std::max(d.bottom, y);
        }
    }
    return d;
}

cairo_surface_t* Render(double zoom) {
    hostapp::RenderOptions options;
    options.scale = zoom;
    std::string error;
    cairo_surface_t* s =
        hostapp::RenderSpreadToSurface(hostcore::FrontDocument()->Model(), options, &error);
    EXPECT_NE(nullptr, s) << error;
    return s;
}

void WindowTest::SetUp() {
    GLYPHORIA_REQUIRE_DISPLAY();
    ASSERT_TRUE(glyphoria::testing::OpenGuiDisplay()) << "the display cannot be opened";
    doc = hostcore::OpenDocument(hosttest::MakeTestModel());
}

void WindowTest::TearDown() {
    window.reset();
    Pump(0);
    hostcore::ShutdownPlugIns();
    hostcore::CloseAllDocuments();
    hostapp::UnloadPlugInModules();
    for (void* h : handles_)
        platform::FreeLibraryHandle(h);
}

TestPlugInCounters* WindowTest::LoadTestPlugIn() {
    std::string error;
    EXPECT_TRUE(hostapp::LoadPlugInModule(TEST_PLUGIN_PATH, &error)) << error;
    void* h = platform::LoadLibraryUtf8(TEST_PLUGIN_PATH);
    handles_.push_back(h);
    auto get =
        reinterpret_cast<TestPlugInCountersProc>(platform::FindExport(h, "TestPlugInCountersGet"));
    TestPlugInCounters* counters = get ? get() : nullptr;
    if (counters) *counters = TestPlugInCounters();
    return counters;
}

void WindowTest::OpenDocumentFile(const std::string& path) {
    hostcore::CloseAllDocuments();
    hostcore::DocModel model;
    std::string error;
    ASSERT_TRUE(hostapp::LoadDocumentFile(path, &model, &error)) << error;
    doc = hostcore::OpenDocument(std::move(model));
}

void WindowTest::OpenWindow() {
    window = std::make_unique<hostwindow::LayoutWindow>("test.json");
    window->SetCloseHandler([this] { ++closeHandlerRuns; });
    window->Show();
    hostcore::StartupPlugIns();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!gtk_widget_get_mapped(window->View().Widget()) &&
           std::chrono::steady_clock::now() < until)
        g_main_context_iteration(nullptr, TRUE);
    ASSERT_TRUE(gtk_widget_get_mapped(window->View().Widget()));
    Settle();
}

namespace {
void OnPainted(GdkFrameClock*, gpointer painted) {
    *static_cast<bool*>(painted) = true;
}
}  // namespace

void WindowTest::Settle() {
    while (gtk_events_pending())
        gtk_main_iteration();
    if (!window || window->Closed()) return;
    GtkWidget* w = GTK_WIDGET(window->Window());
    GdkFrameClock* clock = gtk_widget_get_frame_clock(w);
    if (!clock) return;
    bool painted = false;
    const gulong handler = g_signal_connect(clock, "after-paint", G_CALLBACK(OnPainted), &painted);
    gtk_widget_queue_draw(w);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!painted && std::chrono::steady_clock::now() < until)
        g_main_context_iteration(nullptr, TRUE);
    g_signal_handler_disconnect(clock, handler);
    EXPECT_TRUE(painted) << "the window did not paint";
}

void WindowTest::Pump(int milliseconds) {
    while (gtk_events_pending())
        gtk_main_iteration();
    if (milliseconds > 0) hostwindow::WindowScript::PassTime(milliseconds);
}

UID WindowTest::Frame(const std::string& name) const {
    return hosttest::FrameNamed(hostcore::FrontDocument()->Model(), name);
}

std::vector<UID> WindowTest::Selected() const {
    return hostcore::SelectedItems();
}

void WindowTest::PagePoint(double x, double y, double* wx, double* wy) const {
    ASSERT_TRUE(window->View().WidgetPoint(PMPoint(x, y), wx, wy));
}

void WindowTest::PutButton(GdkEventType type, double x, double y, guint state) {
    PutButtonOn(window->View().Widget(), type, x, y, state);
}

void WindowTest::PutButtonOn(GtkWidget* widget, GdkEventType type, double x, double y,
                             guint state) {
    GdkEvent* e = gdk_event_new(type);
    GdkWindow* target = gtk_widget_get_window(widget);
    if (!gtk_widget_get_has_window(widget)) {
        // A widget without a window of its own (a menu title) takes the
        // pointer through an input window it made below its parent's.
        GList* children = gdk_window_get_children(target);
        for (GList* it = children; it; it = it->next) {
            gpointer owner = nullptr;
            gdk_window_get_user_data(GDK_WINDOW(it->data), &owner);
            if (owner == widget) target = GDK_WINDOW(it->data);
        }
        g_list_free(children);
    }
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    if (type == GDK_MOTION_NOTIFY) {
        e->motion.window = GDK_WINDOW(g_object_ref(target));
        e->motion.x = x;
        e->motion.y = y;
        e->motion.state = state | GDK_BUTTON1_MASK;
        e->motion.time = GDK_CURRENT_TIME;
    } else {
        e->button.window = GDK_WINDOW(g_object_ref(target));
        e->button.x = x;
        e->button.y = y;
        e->button.button = 1;
        e->button.state = state | (type == GDK_BUTTON_RELEASE ? GDK_BUTTON1_MASK : 0);
        e->button.time = GDK_CURRENT_TIME;
    }
    gdk_event_set_device(e, gdk_seat_get_pointer(seat));
    gdk_event_put(e);
    gdk_event_free(e);
}

void WindowTest::ClickPage(double x, double y, bool shift) {
    double wx, wy;
    PagePoint(x, y, &wx, &wy);
    const guint state = shift ? GDK_SHIFT_MASK : 0;
    PutButton(GDK_BUTTON_PRESS, wx, wy, state);
    PutButton(GDK_BUTTON_RELEASE, wx, wy, state);
    Settle();
}

void WindowTest::ClickFrame(const std::string& name, bool shift) {
    const hostcore::Node* n = doc->Model().FindNode(Frame(name));
    ASSERT_NE(nullptr, n) << name;
    const PMPoint c = n->box.GetCenter();
    ClickPage(c.X(), c.Y(), shift);
}

void WindowTest::DragPage(double x0, double y0, double x1, double y1, bool shift) {
    double wx0, wy0, wx1, wy1;
    PagePoint(x0, y0, &wx0, &wy0);
    PagePoint(x1, y1, &wx1, &wy1);
    const guint state = shift ? GDK_SHIFT_MASK : 0;
    PutButton(GDK_BUTTON_PRESS, wx0, wy0, state);
    PutButton(GDK_MOTION_NOTIFY, (wx0 + wx1) / 2, (wy0 + wy1) / 2, state);
    PutButton(GDK_MOTION_NOTIFY, wx1, wy1, state);
    PutButton(GDK_BUTTON_RELEASE, wx1, wy1, state);
    Settle();
}

void WindowTest::PressKey(guint keyval, GdkModifierType modifiers) {
    GdkEvent* e = gdk_event_new(GDK_KEY_PRESS);
    e->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(window->Window()))));
    e->key.keyval = keyval;
    e->key.state = modifiers;
    e->key.time = GDK_CURRENT_TIME;
    GdkKeymapKey* keys = nullptr;
    gint n = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                          keyval, &keys, &n) &&
        n > 0)
        e->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    gdk_event_set_device(e, gdk_seat_get_keyboard(seat));
    gdk_event_put(e);
    gdk_event_free(e);
    Settle();
}

void WindowTest::OpenMenu(const std::string& title) {
    GtkWidget* bar = window->Menus().Widget();
    GList* tops = gtk_container_get_children(GTK_CONTAINER(bar));
    GtkWidget* top = nullptr;
    for (GList* it = tops; it; it = it->next)
        if (title == gtk_menu_item_get_label(GTK_MENU_ITEM(it->data))) top = GTK_WIDGET(it->data);
    g_list_free(tops);
    ASSERT_NE(nullptr, top) << "no menu " << title;
    PutButtonOn(top, GDK_BUTTON_PRESS, 4, 4, 0);
    Settle();
    GtkWidget* menu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(top));
    EXPECT_TRUE(gtk_widget_get_visible(menu)) << title << " did not open";
    gtk_menu_shell_deactivate(GTK_MENU_SHELL(bar));
    Settle();
}

std::string WindowTest::Label(GtkWidget* item) const {
    const char* label = gtk_menu_item_get_label(GTK_MENU_ITEM(item));
    return label ? label : "";
}

bool WindowTest::Sensitive(GtkWidget* item) const {
    return gtk_widget_get_sensitive(item);
}

bool WindowTest::Checked(GtkWidget* item) const {
    return GTK_IS_CHECK_MENU_ITEM(item) &&
           gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item));
}

GtkWidget* WindowTest::Item(const std::string& menu, size_t index) const {
    std::vector<GtkWidget*> items = window->Menus().Items(menu);
    return index < items.size() ? items[index] : nullptr;
}

}  // namespace windowtest
