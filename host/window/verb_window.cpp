// Script verbs of the layout window (glyphoria-host --window): photographs
// of the window and the screen, the zoom, the program's windows, closing.
#include <gtk/gtk.h>

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "host/app/script.h"
#include "host/window/layout_window.h"

namespace hostwindow {

namespace {

LayoutWindow* Window(hostapp::ScriptContext& ctx) {
    LayoutWindow* w = LayoutWindow::Current();
    if (!w || w->Closed()) ctx.Error("there is no layout window (glyphoria-host --window)");
    return w && !w->Closed() ? w : nullptr;
}

bool WritePng(hostapp::ScriptContext& ctx, cairo_surface_t* picture, const std::string& file) {
    const int w = cairo_image_surface_get_width(picture),
              h = cairo_image_surface_get_height(picture);
    const cairo_status_t status = cairo_surface_write_to_png(picture, ctx.Path(file).c_str());
    cairo_surface_destroy(picture);
    if (status != CAIRO_STATUS_SUCCESS)
        return ctx.Error("cannot write " + file + ": " + cairo_status_to_string(status));
    ctx.Say() << "wrote " << file << " (" << w << "x" << h << ")\n";
    return true;
}

bool Snapshot(hostapp::ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2 || (args.size() == 2 && args[1] != "page"))
        return ctx.Error("usage: snapshot FILE.png [page]");
    LayoutWindow* w = Window(ctx);
    if (!w) return false;
    if (args.size() == 1) return WritePng(ctx, w->Picture(), args[0]);
    std::string error;
    cairo_surface_t* page = w->View().PagePicture(&error);
    if (!page) return ctx.Error(error);
    return WritePng(ctx, page, args[0]);
}

// Every window of the program on screen paints once more (or a second
// passes), so the screen holds what each shows now.
void PaintEveryWindow() {
    std::vector<GdkFrameClock*> clocks;
    int painted = 0;
    auto onPaint = +[](GdkFrameClock*, gpointer n) { ++*static_cast<int*>(n); };
    GList* all = gtk_window_list_toplevels();
    for (GList* it = all; it; it = it->next) {
        GtkWidget* w = GTK_WIDGET(it->data);
        GdkFrameClock* clock = gtk_widget_get_mapped(w) ? gtk_widget_get_frame_clock(w) : nullptr;
        if (!clock) continue;
        g_signal_connect(clock, "after-paint", G_CALLBACK(onPaint), &painted);
        clocks.push_back(GDK_FRAME_CLOCK(g_object_ref(clock)));
        gtk_widget_queue_draw(w);
    }
    g_list_free(all);
    bool late = false;
    const guint timeout = g_timeout_add(
        1000,
        [](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &late);
    while (painted < static_cast<int>(clocks.size()) && !late)
        g_main_context_iteration(nullptr, TRUE);
    if (!late) g_source_remove(timeout);
    for (GdkFrameClock* clock : clocks) {
        g_signal_handlers_disconnect_by_data(clock, &painted);
        g_object_unref(clock);
    }
    gdk_display_sync(gdk_display_get_default());
}

bool Screenshot(hostapp::ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return ctx.Error("usage: screenshot FILE.png");
    GdkWindow* root = gdk_get_default_root_window();
    if (!root) return ctx.Error("no screen");
    PaintEveryWindow();
    const int w = gdk_window_get_width(root), h = gdk_window_get_height(root);
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, w, h);
    if (!shot) return ctx.Error("the screen cannot be read");
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(picture);
    gdk_cairo_set_source_pixbuf(cr, shot, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    g_object_unref(shot);
    return WritePng(ctx, picture, args[0]);
}

bool Zoom(hostapp::ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return ctx.Error("usage: zoom PERCENT|in|out");
    LayoutWindow* w = Window(ctx);
    if (!w) return false;
    if (args[0] == "in" || args[0] == "out") {
        w->ZoomBy(args[0] == "in" ? 1 : -1);
    } else {
        char* end = nullptr;
        const double percent = std::strtod(args[0].c_str(), &end);
        if (args[0].empty() || *end != '\0' || !w->SetZoom(percent / 100))
            return ctx.Error("zoom " + args[0] + ": not a zoom this page can have");
    }
    ctx.Say() << "zoom " << std::round(w->View().Zoom() * 1000) / 10 << "%\n";
    return true;
}

bool Resize(hostapp::ScriptContext& ctx, const std::vector<std::string>& args) {
    const int width = args.size() == 2 ? std::atoi(args[0].c_str()) : 0;
    const int height = args.size() == 2 ? std::atoi(args[1].c_str()) : 0;
    if (width < 200 || height < 150 || width > 16000 || height > 16000)
        return ctx.Error("usage: resize WIDTH HEIGHT (pixels, from 200 by 150)");
    LayoutWindow* w = Window(ctx);
    if (!w) return false;
    gtk_window_resize(w->Window(), width, height);
    ctx.Say() << "layout window " << width << "x" << height << "\n";
    return true;
}

bool Windows(hostapp::ScriptContext& ctx, const std::vector<std::string>&) {
    GList* all = gtk_window_list_toplevels();
    for (GList* it = all; it; it = it->next) {
        GtkWindow* win = GTK_WINDOW(it->data);
        if (!gtk_widget_get_visible(GTK_WIDGET(win)) ||
            gtk_window_get_window_type(win) != GTK_WINDOW_TOPLEVEL)
            continue;
        int x = 0, y = 0, width = 0, height = 0;
        gtk_window_get_position(win, &x, &y);
        gtk_window_get_size(win, &width, &height);
        const char* title = gtk_window_get_title(win);
        LayoutWindow* layout = LayoutWindow::Current();
        const bool isLayout = layout && layout->Window() == win;
        ctx.Say() << (isLayout ? "layout" : "window") << " \"" << (title ? title : "") << "\" "
                  << width << "x" << height << " at " << x << "," << y << "\n";
    }
    g_list_free(all);
    return true;
}

bool Close(hostapp::ScriptContext& ctx, const std::vector<std::string>& args) {
    if (!args.empty()) return ctx.Error("usage: close");
    LayoutWindow* w = Window(ctx);
    if (!w) return false;
    w->Close();
    ctx.Say() << "closed the layout window\n";
    return true;
}

hostapp::ScriptVerb gSnapshot("snapshot",
                              "snapshot FILE.png [page]  the layout window as shown (or only its "
                              "page)",
                              Snapshot);
hostapp::ScriptVerb gScreenshot("screenshot", "screenshot FILE.png  the whole screen as shown",
                                Screenshot);
hostapp::ScriptVerb gZoom("zoom", "zoom PERCENT|in|out  the layout window's zoom", Zoom);
hostapp::ScriptVerb gResize("resize", "resize WIDTH HEIGHT  the layout window's size", Resize);
hostapp::ScriptVerb gWindows("windows", "windows              the program's windows on screen",
                             Windows);
hostapp::ScriptVerb gClose("close",
                           "close                close the layout window: the plug-ins shut "
                           "down, the program ends",
                           Close);

}  // namespace

}  // namespace hostwindow
