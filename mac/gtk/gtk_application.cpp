#include "mac/gtk/gtk_application.h"

#include "mac/gtk/gtk_host_window.h"
#include "mac/gtk/gtk_window.h"

namespace glyphoria::mac {

namespace {
GtkWindow* WidgetOf(Window& window) {
    auto* w = dynamic_cast<GtkMacWindow*>(&window);
    return w ? w->widget() : nullptr;
}
}  // namespace

GtkMacApplication::~GtkMacApplication() {
    if (release_source_) g_source_remove(release_source_);
    released_.clear();
}

void GtkMacApplication::runModalForWindow(Window& window) {
    GtkWindow* widget = WidgetOf(window);
    Loop loop{g_main_loop_new(nullptr, FALSE)};
    loops_.push_back(&loop);
    ++modal_runs_;
    if (widget) {
        // Modal over the host: kept above its main window.
        GtkWindow* host = HostMainGtkWindow();
        if (host && !gtk_window_get_transient_for(widget))
            gtk_window_set_transient_for(widget, host);
        gtk_window_set_modal(widget, TRUE);
    }
    window.makeKeyAndOrderFront();
    if (!steps_.empty()) {
        loop.given_steps = true;
        g_idle_add(&GtkMacApplication::RunNextStep, this);
    }
    g_main_loop_run(loop.loop);
    if (widget) gtk_window_set_modal(widget, FALSE);
    loops_.pop_back();
    g_main_loop_unref(loop.loop);
}

gboolean GtkMacApplication::RunNextStep(gpointer self) {
    auto* app = static_cast<GtkMacApplication*>(self);
    if (app->loops_.empty()) return G_SOURCE_REMOVE;
    Loop* loop = app->loops_.back();
    if (loop->stopped) return G_SOURCE_REMOVE;
    if (app->steps_.empty()) {
        ++app->abandoned_;
        loop->stopped = true;
        g_main_loop_quit(loop->loop);
        return G_SOURCE_REMOVE;
    }
    boost::function<void()> step = app->steps_.front();
    app->steps_.pop_front();
    step();
    // The next step once this one's consequences are handled.
    if (!loop->stopped) g_idle_add(&GtkMacApplication::RunNextStep, app);
    return G_SOURCE_REMOVE;
}

void GtkMacApplication::stopModal() {
    if (loops_.empty()) return;
    Loop* loop = loops_.back();
    loop->stopped = true;
    g_main_loop_quit(loop->loop);
}

void GtkMacApplication::beginSheet(Window& sheet, Window& parent, const SheetEndHandler& on_end) {
    ++sheets_begun_;
    sheets_[&sheet] = {&parent, on_end};
    GtkWindow* sheet_widget = WidgetOf(sheet);
    GtkWindow* parent_widget = WidgetOf(parent);
    if (sheet_widget) {
        gtk_window_set_transient_for(sheet_widget, parent_widget);
        gtk_window_set_position(sheet_widget, GTK_WIN_POS_CENTER_ON_PARENT);
        gtk_window_set_modal(sheet_widget, TRUE);
    }
    sheet.makeKeyAndOrderFront();
}

void GtkMacApplication::endSheet(Window& sheet, int code) {
    auto it = sheets_.find(&sheet);
    if (it == sheets_.end()) return;
    const OpenSheet open = it->second;
    sheets_.erase(it);
    sheet_codes_.push_back(code);
    if (GtkWindow* widget = WidgetOf(sheet)) gtk_window_set_modal(widget, FALSE);
    if (open.on_end) open.on_end(sheet, code);
    sheet.orderOut();
    if (open.parent->isVisible()) open.parent->makeKeyAndOrderFront();
}

void GtkMacApplication::releaseWhenIdle(std::unique_ptr<Window> window) {
    if (!window) return;
    window->orderOut();
    released_.push_back(std::move(window));
    if (!release_source_) release_source_ = g_idle_add(&GtkMacApplication::ReleaseIdle, this);
}

gboolean GtkMacApplication::ReleaseIdle(gpointer self) {
    auto* app = static_cast<GtkMacApplication*>(self);
    app->release_source_ = 0;
    app->released_.clear();
    return G_SOURCE_REMOVE;
}

void GtkMacApplication::activateHostProcess() {
    if (GtkWindow* host = HostMainGtkWindow()) gtk_window_present(host);
}

void GtkMacApplication::drain() {
    if (release_source_) g_source_remove(release_source_);
    release_source_ = 0;
    released_.clear();
}

}  // namespace glyphoria::mac
