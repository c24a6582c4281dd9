#include "mac/gtk/gtk_hands.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstring>
#include <set>

#include "mac/gtk/gtk_events.h"
#include "mac/gtk/gtk_web_view.h"
#include "mac/gtk/gtk_window.h"

namespace glyphoria::mac {

namespace {

constexpr int kScriptTimeLimitMs = 5000;
constexpr int kDecisionTimeLimitMs = 5000;
constexpr guint kDialogWatchMs = 25;

GtkMacWebView* Gtk(WebView& view) {
    return dynamic_cast<GtkMacWebView*>(&view);
}
GtkMacWindow* Gtk(Window& window) {
    return dynamic_cast<GtkMacWindow*>(&window);
}

// A JavaScript string literal of text.
std::string Quoted(const std::string& text) {
    return nlohmann::json(text).dump();
}

struct Evaluation {
    bool done = false;
    bool ok = false;
    std::string result;
};

void OnEvaluated(GObject* object, GAsyncResult* result, gpointer data) {
    auto* evaluation = static_cast<Evaluation*>(data);
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(object), result, &error);
    if (value) {
        char* text = jsc_value_to_string(value);
        evaluation->result = text ? text : "";
        evaluation->ok = true;
        g_free(text);
        g_object_unref(value);
    }
    g_clear_error(&error);
    evaluation->done = true;
}

// The first link whose text, href attribute or id is which.
const char* kFindLink =
    "function glyphoriaFindLink(which) {"
    "  for (const a of document.querySelectorAll('a[href]')) {"
    "    const text = a.textContent.replace(/\\s+/g, ' ').trim();"
    "    if (text === which || a.getAttribute('href') === which || (a.id && a.id === which))"
    "      return a;"
    "  }"
    "  return null;"
    "}";

// Whether the widget's part of the screen holds more than one colour.
bool ShowsMoreThanOneColour(GtkWidget* widget) {
    GtkWidget* top = gtk_widget_get_toplevel(widget);
    GdkWindow* window = gtk_widget_get_window(top);
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    int x = 0, y = 0;
    if (!window || a.width <= 0 || a.height <= 0 ||
        !gtk_widget_translate_coordinates(widget, top, 0, 0, &x, &y))
        return false;
    GdkPixbuf* shown = gdk_pixbuf_get_from_window(window, x, y, a.width, a.height);
    if (!shown) return false;
    const guchar* pixels = gdk_pixbuf_read_pixels(shown);
    const int stride = gdk_pixbuf_get_rowstride(shown);
    const int channels = gdk_pixbuf_get_n_channels(shown);
    bool varied = false;
    for (int row = 0; row < a.height && !varied; ++row)
        for (int column = 0; column < a.width && !varied; ++column)
            varied = std::memcmp(pixels + row * stride + column * channels, pixels, 3) != 0;
    g_object_unref(shown);
    return varied;
}

}  // namespace

GtkHands::~GtkHands() {
    if (watch_) g_source_remove(watch_);
}

bool GtkHands::waitFor(const boost::function<bool()>& done, int milliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        // Wakes the loop now and then, so the deadline is seen.
        GSource* tick = g_timeout_source_new(10);
        g_source_set_callback(
            tick, [](gpointer) { return G_SOURCE_REMOVE; }, nullptr, nullptr);
        g_source_attach(tick, nullptr);
        g_main_context_iteration(nullptr, TRUE);
        g_source_destroy(tick);
        g_source_unref(tick);
    }
    return true;
}

std::string GtkHands::evaluate(WebView& view, const std::string& script, bool* ok) {
    GtkMacWebView* web = Gtk(view);
    *ok = false;
    if (!web) return {};
    // The evaluation is told when it is over; it is waited for here, and
    // lives on the heap in case the time limit passes first.
    auto* evaluation = new Evaluation;
    webkit_web_view_evaluate_javascript(web->view(), script.c_str(), -1, nullptr, nullptr, nullptr,
                                        &OnEvaluated, evaluation);
    if (!waitFor([evaluation] { return evaluation->done; }, kScriptTimeLimitMs)) return {};
    *ok = evaluation->ok;
    std::string result = evaluation->result;
    delete evaluation;
    return result;
}

std::string GtkHands::pageUrl(WebView& view) {
    startAnswering();
    GtkMacWebView* web = Gtk(view);
    if (!web) return {};
    waitFor([web] { return !web->busy(); }, kHandsTimeLimitMs);
    return web->committedUrl();
}

std::vector<PageLink> GtkHands::links(WebView& view) {
    pageUrl(view);
    bool ok = false;
    const std::string text =
        evaluate(view,
                 "JSON.stringify(Array.from(document.querySelectorAll('a[href]')).map(a => ({"
                 "href: a.getAttribute('href'), text: a.textContent.replace(/\\s+/g, ' ').trim(),"
                 "id: a.id})))",
                 &ok);
    std::vector<PageLink> out;
    if (!ok) return out;
    const nlohmann::json list = nlohmann::json::parse(text, nullptr, false);
    if (!list.is_array()) return out;
    for (const auto& link : list)
        out.push_back({link.value("href", ""), link.value("text", ""), link.value("id", "")});
    return out;
}

bool GtkHands::clickLink(WebView& view, const std::string& which) {
    GtkMacWebView* web = Gtk(view);
    if (!web) return false;
    pageUrl(view);
    const int decisions = web->decisionsAsked();
    bool ok = false;
    const std::string clicked =
        evaluate(view,
                 std::string(kFindLink) + "(() => { const a = glyphoriaFindLink(" + Quoted(which) +
                     "); if (!a) return 'no'; a.click(); return 'yes'; })()",
                 &ok);
    if (!ok || clicked != "yes") return false;
    // The engine asks about the navigation; whatever it starts then runs to its end.
    waitFor([web, decisions] { return web->decisionsAsked() > decisions; }, kDecisionTimeLimitMs);
    waitFor([web] { return !web->busy(); }, kHandsTimeLimitMs);
    return true;
}

bool GtkHands::clickControl(Window& window, const std::string& id) {
    startAnswering();
    GtkMacWindow* w = Gtk(window);
    GtkWidget* widget = w ? w->controls().widgetFor(id) : nullptr;
    if (!widget || !GTK_IS_BUTTON(widget)) return false;
    bool taken = false;
    const char* signal = GTK_IS_CHECK_BUTTON(widget) ? "toggled" : "clicked";
    const gulong handler =
        g_signal_connect_swapped(widget, signal, G_CALLBACK(+[](bool* t) { *t = true; }), &taken);
    g_object_ref(widget);
    ClickWidget(widget);
    g_signal_handler_disconnect(widget, handler);
    g_object_unref(widget);
    return taken;
}

bool GtkHands::pressKey(Window& window, const PanelEvent& event) {
    startAnswering();
    GtkMacWindow* w = Gtk(window);
    if (!w) return false;
    const int seen = w->keyPressesSeen();
    PressKeyIn(w->widget(), event);
    return w->keyPressesSeen() > seen;
}

bool GtkHands::closeWindow(Window& window) {
    startAnswering();
    GtkMacWindow* w = Gtk(window);
    if (!w || !window.isVisible()) return false;
    RequestClose(w->widget());
    return !window.isVisible();
}

bool GtkHands::snapshot(Window* window, const std::string& path) {
    startAnswering();
    GdkWindow* source = gdk_get_default_root_window();
    if (window) {
        GtkMacWindow* w = Gtk(*window);
        if (!w || !window->isVisible()) return false;
        if (GtkMacWebView* web = w->webView()) {
            waitFor([web] { return !web->busy(); }, kHandsTimeLimitMs);
            // The engine draws the page a while after it has loaded it: until
            // then the view shows one colour only.
            GtkWidget* page = web->widget();
            waitFor([page] { return ShowsMoreThanOneColour(page); }, kScriptTimeLimitMs);
        }
        // Two frames painted after asking for one.
        GtkWidget* widget = GTK_WIDGET(w->widget());
        GdkFrameClock* clock = gtk_widget_get_frame_clock(widget);
        if (!clock) return false;
        int painted = 0;
        const gulong handler = g_signal_connect_swapped(
            clock, "after-paint", G_CALLBACK(+[](int* n) { ++*n; }), &painted);
        for (int frame = 0; frame < 2; ++frame) {
            const int before = painted;
            gtk_widget_queue_draw(widget);
            waitFor([&painted, before] { return painted > before; }, kScriptTimeLimitMs);
        }
        g_signal_handler_disconnect(clock, handler);
        source = gtk_widget_get_window(widget);
    }
    if (!source) return false;
    GdkPixbuf* picture = gdk_pixbuf_get_from_window(source, 0, 0, gdk_window_get_width(source),
                                                    gdk_window_get_height(source));
    if (!picture) return false;
    const gboolean saved = gdk_pixbuf_save(picture, path.c_str(), "png", nullptr, nullptr);
    g_object_unref(picture);
    return saved;
}

void GtkHands::whenModal(const boost::function<void()>& step) {
    startAnswering();
    seam_.application.queueModalStep(step);
}

void GtkHands::answerFolderChooser(const std::string& folder) {
    folders_.push_back(folder);
    startAnswering();
}

std::vector<ShownAlert> GtkHands::alertsShown() {
    startAnswering();
    return alerts_;
}

std::vector<std::string> GtkHands::openedUrls() {
    return seam_.workspace.openedUrls();
}

void GtkHands::startAnswering() {
    if (!watch_) watch_ = g_timeout_add(kDialogWatchMs, &GtkHands::AnswerDialogs, this);
}

gboolean GtkHands::AnswerDialogs(gpointer self) {
    auto* hands = static_cast<GtkHands*>(self);
    GList* toplevels = gtk_window_list_toplevels();
    std::set<GtkWidget*> answered;
    for (GList* l = toplevels; l; l = l->next) {
        GtkWidget* widget = GTK_WIDGET(l->data);
        if (!gtk_widget_get_mapped(widget) || answered.count(widget)) continue;
        if (GTK_IS_MESSAGE_DIALOG(widget)) {
            gchar* text = nullptr;
            gchar* secondary = nullptr;
            g_object_get(widget, "text", &text, "secondary-text", &secondary, nullptr);
            hands->alerts_.push_back({text ? text : "", secondary ? secondary : ""});
            g_free(text);
            g_free(secondary);
            answered.insert(widget);
            gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_OK);
        } else if (GTK_IS_FILE_CHOOSER_DIALOG(widget)) {
            answered.insert(widget);
            hands->answerChooser(GTK_FILE_CHOOSER(widget));
        }
    }
    g_list_free(toplevels);
    return G_SOURCE_CONTINUE;
}

}  // namespace glyphoria::mac

namespace glyphoria::mac {

// The person goes to the folder, waits until the chooser shows it, then
// presses Open (or Cancel when there was no folder to go to).
void GtkHands::answerChooser(GtkFileChooser* chooser) {
    if (chooser != chooser_) {
        chooser_ = chooser;
        chooser_folder_.clear();
        if (!folders_.empty()) {
            chooser_folder_ = folders_.front();
            folders_.pop_front();
        }
        if (chooser_folder_.empty()) {
            chooser_ = nullptr;
            gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_CANCEL);
            return;
        }
        gtk_file_chooser_set_current_folder(chooser, chooser_folder_.c_str());
        return;
    }
    char* shown = gtk_file_chooser_get_current_folder(chooser);
    const bool there = shown && chooser_folder_ == shown;
    g_free(shown);
    if (!there) return;
    chooser_ = nullptr;
    gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_ACCEPT);
}

}  // namespace glyphoria::mac
