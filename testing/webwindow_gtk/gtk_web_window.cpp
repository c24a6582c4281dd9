#include "testing/webwindow_gtk/gtk_web_window.h"

#include <glib/gstdio.h>
#include <libsoup/soup.h>

#include <cstdlib>
#include <cstring>

#include "testing/webwindow_gtk/download_names.h"
#include "testing/webwindow_gtk/gtk_setup.h"
#include "testing/webwindow_gtk/main_context_pump.h"
#include "testing/webwindow_gtk/page_script.h"
#include "testing/webwindow_gtk/page_texts.h"
#include "testing/webwindow_gtk/window_geometry.h"

namespace glyphoria::testing::webwindow_gtk {

namespace {

constexpr char kCommandScheme[] = "glyphoria://";
constexpr char kBlankPage[] = "about:blank";
constexpr char kDownloadKey[] = "glyphoria-download";
constexpr int kDefaultWidth = 820;
constexpr int kDefaultHeight = 760;
// How much of a remembered window must lie on a screen for its place to be
// used; a window further out could not be reached.
constexpr int kMinVisible = 64;

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool IsAttachment(WebKitURIResponse* response) {
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    char* disposition = nullptr;
    if (!headers || !soup_message_headers_get_content_disposition(headers, &disposition, nullptr))
        return false;
    bool attachment = g_ascii_strcasecmp(disposition, "attachment") == 0;
    g_free(disposition);
    return attachment;
}

// A failure that only means the page stays as it was: the answer became a
// download, or another load took this one's place.
bool IsInterruption(const GError* error) {
    return g_error_matches(error, WEBKIT_POLICY_ERROR,
                           WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) ||
           g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED);
}

bool OnAScreen(const WindowRect& rect) {
    GdkDisplay* display = gdk_display_get_default();
    for (int i = 0; display && i < gdk_display_get_n_monitors(display); ++i) {
        GdkRectangle area;
        gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &area);
        int width = std::min(rect.x + rect.width, area.x + area.width) - std::max(rect.x, area.x);
        int height =
            std::min(rect.y + rect.height, area.y + area.height) - std::max(rect.y, area.y);
        if (width >= kMinVisible && height >= kMinVisible) return true;
    }
    return false;
}

}  // namespace

// A function of its own (outside the unnamed namespace, so that its name is
// stable) for the leak checker's suppressions to name: the engine keeps blocks
// made here in its JavaScript heap, where the checker does not look
// (tests/common/lsan_gui.supp).
__attribute__((noinline)) WebKitWebView* NewWebView(WebKitWebContext* context) {
    return WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(context));
}

// What the library keeps of one of the engine's downloads.
struct GtkWebWindow::Download {
    std::string address;
    std::string file;
    std::string outcome;  // "taken" or "declined" once decided so
    std::string failure;
};

GtkWebWindow::Download* GtkWebWindow::StateOf(WebKitDownload* download) {
    return static_cast<Download*>(g_object_get_data(G_OBJECT(download), kDownloadKey));
}

GtkWebWindow& GtkWebWindow::Instance() {
    // Never destroyed: the engine's signals may still arrive while the
    // process ends.
    static GtkWebWindow* window = new GtkWebWindow;
    return *window;
}

// --- The window ------------------------------------------------------------

int32_t GtkWebWindow::ShowWindow(const char* address) {
    if (!address || !*address) return 0;
    if (!EnsureGtk()) {
        channel_.Note("showTryWnd: no display");
        return 0;
    }
    if (!window_) BuildWindow();
    loading_ = true;
    webkit_web_view_load_uri(view_, address);
    gtk_window_present(GTK_WINDOW(window_));
    return 1;
}

bool GtkWebWindow::Visible() const {
    return window_ && gtk_widget_get_visible(window_);
}

void GtkWebWindow::BuildWindow() {
    std::string first, second;
    channel_.ReadValue("langString", "glyphoria", &first);
    channel_.ReadValue("langString", "glyphoria1", &second);
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_),
                         TitleFromAnswers(Utf8FromAnsi(first), Utf8FromAnsi(second)).c_str());
    gtk_window_set_default_size(GTK_WINDOW(window_), kDefaultWidth, kDefaultHeight);
    if (channel_.callback()) {
        if (GtkWindow* host = HostWindowOf(channel_.Call("hostWnd", nullptr))) {
            gtk_window_set_transient_for(GTK_WINDOW(window_), host);
            gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER_ON_PARENT);
        }
    }
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDeleteEvent), this);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window_), box);
    failure_label_ = gtk_label_new("");
    gtk_label_set_line_wrap(GTK_LABEL(failure_label_), TRUE);
    gtk_label_set_selectable(GTK_LABEL(failure_label_), TRUE);
    gtk_widget_set_margin_start(failure_label_, 12);
    gtk_widget_set_margin_end(failure_label_, 12);
    gtk_widget_set_margin_top(failure_label_, 8);
    gtk_widget_set_margin_bottom(failure_label_, 8);
    gtk_widget_set_no_show_all(failure_label_, TRUE);
    gtk_box_pack_start(GTK_BOX(box), failure_label_, FALSE, FALSE, 0);
    view_ = NewWebView(Context());
    g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(OnLoadFailed), this);
    gtk_box_pack_start(GTK_BOX(box), GTK_WIDGET(view_), TRUE, TRUE, 0);

    DownloadBar::Texts texts{Text("downloadGroupBtn"), Text("choose"), Text("show"), Text("close")};
    DownloadBar::Actions actions;
    actions.choose = [this] { AskForFolder(); };
    actions.show = [this] {
        gchar* uri = g_filename_to_uri(DownloadFolder().c_str(), nullptr, nullptr);
        if (uri && !gtk_show_uri_on_window(GTK_WINDOW(window_), uri, GDK_CURRENT_TIME, nullptr))
            channel_.Note("show: no program opens " + std::string(uri));
        g_free(uri);
    };
    actions.close = [this] { Close(true); };
    bar_ = std::make_unique<DownloadBar>(GTK_BOX(box), texts, std::move(actions));
    bar_->ShowFolder(DownloadFolder());

    RestoreGeometry();
    shown_ = Shown::kNothing;
    gtk_widget_show_all(window_);
}

void GtkWebWindow::Close(bool remember) {
    if (!window_) return;
    if (remember) SaveGeometry();
    GtkWidget* window = window_;
    window_ = nullptr;
    view_ = nullptr;
    gtk_widget_destroy(window);
    // The bar's buttons may be what is closing the window; their actions
    // stay until the next close.
    retired_bar_ = std::move(bar_);
    failure_label_ = nullptr;
    loading_ = false;
    shown_ = Shown::kNothing;
}

void GtkWebWindow::ShowFailure(const std::string& text) {
    if (!failure_label_) return;
    gtk_label_set_text(GTK_LABEL(failure_label_), text.c_str());
    gtk_widget_set_visible(failure_label_, !text.empty());
}

void GtkWebWindow::RestoreGeometry() {
    std::string stored;
    if (!channel_.ReadValue("prefString", kGeometryKey, &stored)) return;
    std::optional<WindowRect> rect = ParseRect(stored);
    if (!rect) return;
    gtk_window_set_default_size(GTK_WINDOW(window_), rect->width, rect->height);
    if (OnAScreen(*rect)) {
        gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_NONE);
        gtk_window_move(GTK_WINDOW(window_), rect->x, rect->y);
    }
}

void GtkWebWindow::SaveGeometry() {
    if (!Visible() || !channel_.callback()) return;
    WindowRect rect;
    gtk_window_get_position(GTK_WINDOW(window_), &rect.x, &rect.y);
    gtk_window_get_size(GTK_WINDOW(window_), &rect.width, &rect.height);
    channel_.WriteValue(kGeometryKey, FormatRect(rect));
}

std::string GtkWebWindow::Text(const char* key) {
    std::string answer;
    if (!channel_.ReadValue("langString", key, &answer) || answer.empty()) return key;
    return Utf8FromAnsi(answer);
}

std::string GtkWebWindow::DownloadFolder() {
    if (!download_folder_.empty()) return download_folder_;
    std::string chosen;
    if (channel_.callback() && channel_.ReadValue("prefString", "downloadFolder", &chosen) &&
        !chosen.empty())
        return chosen;
    const char* xdg = std::getenv("XDG_DOWNLOAD_DIR");
    if (xdg && *xdg) return xdg;
    return std::string(g_get_home_dir()) + "/Downloads";
}

bool GtkWebWindow::ChooseFolder(const std::string& path) {
    // "prefString" hands back at most 254 bytes and a NUL; a longer path
    // would come back cut into another folder's name.
    if (path.empty() || path.size() >= kGlyphoriaPrefValueCapacity ||
        !g_file_test(path.c_str(), G_FILE_TEST_IS_DIR)) {
        channel_.Note("chooseFolder: invalid path " + path);
        return false;
    }
    if (!channel_.WriteValue("downloadFolder", path)) return false;
    if (bar_) bar_->ShowFolder(DownloadFolder());
    return true;
}

void GtkWebWindow::AskForFolder() {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        Text("prompt").c_str(), GTK_WINDOW(window_), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
        Text("cancel").c_str(), GTK_RESPONSE_CANCEL, Text("ok").c_str(), GTK_RESPONSE_ACCEPT,
        nullptr);
    gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(dialog), DownloadFolder().c_str());
    bool accepted = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT;
    gchar* path = accepted ? gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog)) : nullptr;
    gtk_widget_destroy(dialog);
    if (path && !ChooseFolder(path) && window_) {
        GtkWidget* message =
            gtk_message_dialog_new(GTK_WINDOW(window_), GTK_DIALOG_MODAL, GTK_MESSAGE_WARNING,
                                   GTK_BUTTONS_OK, "%s", Text("invalidPath").c_str());
        gtk_dialog_run(GTK_DIALOG(message));
        gtk_widget_destroy(message);
    }
    g_free(path);
}

WebKitWebContext* GtkWebWindow::Context() {
    if (context_) return context_;
    // Nothing of the shop's pages (cookies, caches) is kept on disk: the
    // library is a stand-in, and must leave the user's home as it was.
    context_ = webkit_web_context_new_ephemeral();
    g_signal_connect(context_, "download-started", G_CALLBACK(OnDownloadStarted), this);
    ApplyCertificates();
    return context_;
}

void GtkWebWindow::ApplyCertificates() {
    if (!context_) return;
    WebKitWebsiteDataManager* data = webkit_web_context_get_website_data_manager(context_);
    if (ca_file_.empty()) {
        webkit_website_data_manager_set_tls_errors_policy(data, WEBKIT_TLS_ERRORS_POLICY_IGNORE);
        return;
    }
    webkit_website_data_manager_set_tls_errors_policy(data, WEBKIT_TLS_ERRORS_POLICY_FAIL);
    GError* error = nullptr;
    GTlsCertificate* certificate = g_tls_certificate_new_from_file(ca_file_.c_str(), &error);
    if (!certificate) {
        channel_.Note("caFile: " + std::string(error ? error->message : "unreadable"));
        g_clear_error(&error);
        return;
    }
    for (const char* host : {"127.0.0.1", "localhost"})
        webkit_web_context_allow_tls_certificate_for_host(context_, certificate, host);
    g_object_unref(certificate);
}

// --- Actions ---------------------------------------------------------------

int32_t GtkWebWindow::Act(const char* action, const char* argument) {
    std::string name = action ? action : "";
    std::string text = argument ? argument : "";
    int32_t result = 0;
    if (channel_.ActOnCallback(name, text, &result)) return result;
    if (name == "try") return Try(text);
    if (name == "revert") return Click(name, "#revert", "doRevert");
    if (name == "homepage") return Click(name, "#homepage", "doHomepage");
    if (name == "newWindow") return NewWindow(text);
    if (name == "buy") return Buy(text);
    if (name == "wait") return PageReady(name) && PageOnScreen() ? 1 : -1;
    if (name == "snapshot") return Snapshot(text);
    if (name == "chooseFolder") return ChooseFolder(text) ? 1 : -1;
    channel_.Note("unknown action " + name);
    return -1;
}

bool GtkWebWindow::PageOnScreen() {
    ScriptResult painted = RunPageScript(view_, kPaintedScript, {}, kClickLimit);
    if (!painted.truth) {
        channel_.Note("wait: the page was not drawn (" + painted.error + ")");
        return false;
    }
    // The engine's picture reaches the window through the loop; the window
    // then paints it once more.
    bool drawn = false;
    const gulong handler = g_signal_connect_after(
        view_, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t*, gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return FALSE;
        }),
        &drawn);
    gtk_widget_queue_draw(GTK_WIDGET(view_));
    PumpUntil([&] { return drawn || !view_; }, kClickLimit);
    if (view_) g_signal_handler_disconnect(view_, handler);
    return drawn;
}

bool GtkWebWindow::PageReady(const std::string& action) {
    if (!view_) {
        channel_.Note(action + ": no page shown");
        return false;
    }
    PumpUntil([this] { return !loading_ || !view_; }, kLoadLimit);
    if (!view_) {
        channel_.Note(action + ": the window was closed");
        return false;
    }
    if (loading_) {
        channel_.Note(action + ": the page did not finish loading");
        return false;
    }
    if (shown_ != Shown::kPage) {
        channel_.Note(action + ": the page did not load (" + failure_ + ")");
        return false;
    }
    return true;
}

int32_t GtkWebWindow::AwaitPageCall(const std::string& action, uint64_t before,
                                    const char* command) {
    if (!PumpUntil([&] { return page_calls_ > before; }, kClickLimit)) {
        channel_.Note(action + ": the click reached no command");
        return -1;
    }
    if (last_call_command_ != command) {
        channel_.Note(action + ": the click led to " + last_call_command_);
        return -1;
    }
    return last_call_result_;
}

int32_t GtkWebWindow::Click(const std::string& action, const char* selector, const char* command) {
    if (!PageReady(action)) return -1;
    uint64_t before = page_calls_;
    ScriptResult clicked =
        RunPageScript(view_, kClickSelectorScript, {{"selector", selector}}, kClickLimit);
    if (!clicked.ran) {
        channel_.Note(action + ": " + clicked.error);
        return -1;
    }
    if (clicked.text.empty()) {
        channel_.Note(action + ": no such link on the page");
        return -1;
    }
    return AwaitPageCall(action, before, command);
}

int32_t GtkWebWindow::Try(const std::string& id) {
    if (!PageReady("try")) return -1;
    uint64_t before = page_calls_;
    ScriptResult clicked = RunPageScript(view_, kClickTryScript, {{"id", id}}, kClickLimit);
    if (!clicked.ran) {
        channel_.Note("try: " + clicked.error);
        return -1;
    }
    if (!clicked.truth) {
        channel_.Note("try: no font " + id + " on the page");
        return -1;
    }
    return AwaitPageCall("try", before, "doTry");
}

int32_t GtkWebWindow::NewWindow(const std::string& address) {
    if (!PageReady("newWindow")) return -1;
    uint64_t before = page_calls_;
    ScriptResult clicked =
        RunPageScript(view_, kOpenNewWindowScript, {{"address", address}}, kClickLimit);
    if (!clicked.ran) {
        channel_.Note("newWindow: " + clicked.error);
        return -1;
    }
    return AwaitPageCall("newWindow", before, "doNewWindow");
}

int32_t GtkWebWindow::Buy(const std::string& selector) {
    if (!PageReady("buy")) return -1;
    WebKitBackForwardListItem* start =
        webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_));
    if (start) g_object_ref(start);
    int32_t result = -1;
    uint64_t calls = page_calls_, downloads = downloads_ended_, pages = pages_shown_;
    bool clicked = false;
    if (selector.find("://") != std::string::npos) {
        webkit_web_view_load_uri(view_, selector.c_str());
        clicked = true;
    } else {
        ScriptResult cart =
            RunPageScript(view_, kClickSelectorScript, {{"selector", "#cart"}}, kClickLimit);
        bool cart_shown = !cart.text.empty() &&
                          PumpUntil([&] { return !view_ || pages_shown_ > pages; }, kLoadLimit) &&
                          PageReady("buy");
        if (!cart_shown) {
            channel_.Note("buy: no cart");
        } else {
            pages = pages_shown_;
            ScriptResult link =
                RunPageScript(view_, kClickDownloadScript, {{"part", selector}}, kClickLimit);
            clicked = !link.text.empty();
            if (!clicked) channel_.Note("buy: no download link matches " + selector);
        }
    }
    if (clicked) {
        PumpUntil([&] { return !view_ || downloads_ended_ > downloads || pages_shown_ > pages; },
                  kDownloadLimit);
        if (downloads_ended_ > downloads && page_calls_ > calls && last_call_command_ == "doBuy") {
            result = last_call_result_;
        } else if (pages_shown_ > pages) {
            channel_.Note("buy: the link showed a page, not a download");
        } else {
            channel_.Note("buy: no download ended");
        }
    }
    ReturnTo(start);
    if (start) g_object_unref(start);
    return result;
}

void GtkWebWindow::ReturnTo(WebKitBackForwardListItem* item) {
    if (!view_ || !item) return;
    WebKitBackForwardList* history = webkit_web_view_get_back_forward_list(view_);
    if (webkit_back_forward_list_get_current_item(history) == item) return;
    uint64_t pages = pages_shown_;
    webkit_web_view_go_to_back_forward_list_item(view_, item);
    PumpUntil([&] { return !view_ || (pages_shown_ > pages && !loading_); }, kLoadLimit);
}

int32_t GtkWebWindow::Snapshot(const std::string& path) {
    if (!PageReady("snapshot")) return -1;
    struct Taken {
        bool done = false;
        cairo_surface_t* surface = nullptr;
    };
    auto taken = std::make_shared<Taken>();
    webkit_web_view_get_snapshot(
        view_, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr,
        [](GObject* view, GAsyncResult* outcome, gpointer data) {
            auto* holder = static_cast<std::shared_ptr<Taken>*>(data);
            (*holder)->surface =
                webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(view), outcome, nullptr);
            (*holder)->done = true;
            delete holder;
        },
        new std::shared_ptr<Taken>(taken));
    if (!PumpUntil([&] { return taken->done; }, kClickLimit) || !taken->surface) {
        channel_.Note("snapshot: the engine made no picture");
        return -1;
    }
    cairo_status_t written = cairo_surface_write_to_png(taken->surface, path.c_str());
    cairo_surface_destroy(taken->surface);
    if (written != CAIRO_STATUS_SUCCESS) {
        channel_.Note("snapshot: cannot write " + path);
        return -1;
    }
    return 1;
}

// --- Settings --------------------------------------------------------------

int32_t GtkWebWindow::Control(const char* setting, const char* value) {
    std::string name = setting ? setting : "";
    std::string text = value ? value : "";
    if (CommonControl(name, text)) return 1;
    if (name == "visible") {
        if (text == "1" && window_) gtk_window_present(GTK_WINDOW(window_));
        if (text == "0") Close(true);
    } else if (name == "caFile") {
        ca_file_ = text;
        ApplyCertificates();
    } else if (name == "buyFollows") {
        buy_follows_ = text != "0";
    } else if (name == "downloadFolder") {
        download_folder_ = text;
    } else if (name == "reset") {
        Close(false);
        ResetCommon();
        ca_file_.clear();
        ApplyCertificates();
        buy_follows_ = true;
        download_folder_.clear();
    } else {
        return 0;
    }
    return 1;
}

// --- The engine's signals --------------------------------------------------

int32_t GtkWebWindow::PageCall(const char* command, const std::string& argument) {
    int32_t result = channel_.Call(command, argument.c_str());
    ++page_calls_;
    last_call_command_ = command;
    last_call_result_ = result;
    return result;
}

int32_t GtkWebWindow::PageCommand(const std::string& address) {
    std::string rest = address.substr(std::strlen(kCommandScheme));
    size_t query = rest.find('?');
    std::string head = rest.substr(0, query);
    while (!head.empty() && head.back() == '/')
        head.pop_back();
    std::string argument = query == std::string::npos ? "" : rest.substr(query + 1);
    if (head == "try") return PageCall("doTry", argument);
    if (head == "revert") return PageCall("doRevert", argument);
    if (head == "homepage") return PageCall("doHomepage", address);
    channel_.Note("no command for " + address);
    return 0;
}

gboolean GtkWebWindow::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                      WebKitPolicyDecisionType type, gpointer self) {
    auto* window = static_cast<GtkWebWindow*>(self);
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        auto* answer = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        if (!webkit_response_policy_decision_is_main_frame_main_resource(answer)) return FALSE;
        WebKitURIResponse* response = webkit_response_policy_decision_get_response(answer);
        if (!IsAttachment(response) &&
            webkit_response_policy_decision_is_mime_type_supported(answer))
            return FALSE;
        // Offered to the plug-in once the download has started (OnDecideDestination).
        webkit_policy_decision_download(decision);
        return TRUE;
    }
    WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
        WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    std::string address = uri ? uri : "";
    if (StartsWith(address, kCommandScheme)) {
        webkit_policy_decision_ignore(decision);
        window->PageCommand(address);
        return TRUE;
    }
    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
        webkit_policy_decision_ignore(decision);
        window->PageCall("doNewWindow", address);
        return TRUE;
    }
    return FALSE;
}

void GtkWebWindow::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
    auto* window = static_cast<GtkWebWindow*>(self);
    if (view != window->view_) return;
    if (event == WEBKIT_LOAD_STARTED) {
        window->loading_ = true;
        window->interrupted_ = false;
        window->failure_.clear();
        const char* uri = webkit_web_view_get_uri(view);
        window->requested_ = uri ? uri : "";
        return;
    }
    if (event != WEBKIT_LOAD_FINISHED) return;
    window->loading_ = false;
    if (window->interrupted_ && window->failure_.empty()) return;
    const char* uri = webkit_web_view_get_uri(view);
    // An address the engine will not reach at all (a port it keeps closed)
    // ends on an empty page without a failure.
    if (window->failure_.empty() && uri && std::strcmp(uri, kBlankPage) == 0 &&
        window->requested_ != kBlankPage) {
        window->failure_ = "the engine refused to load this address";
    }
    // A failed load leaves no address of its own in the view.
    if (!window->failure_.empty()) uri = window->requested_.c_str();
    window->shown_ = window->failure_.empty() ? Shown::kPage : Shown::kFailure;
    window->ShowFailure(window->failure_.empty() ? ""
                                                 : window->requested_ + ": " + window->failure_);
    window->channel_.Append(
        {"load", uri ? uri : "", window->failure_.empty() ? "ok" : window->failure_});
    ++window->pages_shown_;
}

gboolean GtkWebWindow::OnLoadFailed(WebKitWebView* view, WebKitLoadEvent, gchar*, GError* error,
                                    gpointer self) {
    auto* window = static_cast<GtkWebWindow*>(self);
    if (view != window->view_) return FALSE;
    if (IsInterruption(error)) {
        window->interrupted_ = true;
        return TRUE;
    }
    // The reason shows above the page (OnLoadChanged); the engine's own
    // error page would be a load of its own, mistaken for the page.
    window->failure_ = error && error->message[0] ? error->message : "failed";
    return TRUE;
}

void GtkWebWindow::OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer self) {
    auto* state = new Download;
    const char* uri = webkit_uri_request_get_uri(webkit_download_get_request(download));
    state->address = uri ? uri : "";
    g_object_set_data_full(G_OBJECT(download), kDownloadKey, state,
                           [](gpointer data) { delete static_cast<Download*>(data); });
    g_signal_connect(download, "decide-destination", G_CALLBACK(OnDecideDestination), self);
    g_signal_connect(download, "failed", G_CALLBACK(OnDownloadFailed), self);
    g_signal_connect(download, "finished", G_CALLBACK(OnDownloadFinished), self);
}

gboolean GtkWebWindow::OnDecideDestination(WebKitDownload* download, gchar* suggested,
                                           gpointer self) {
    auto* window = static_cast<GtkWebWindow*>(self);
    Download* state = StateOf(download);
    if (!state) return FALSE;
    // Offered to the plug-in first; with nobody to ask, the engine goes on.
    if (window->channel_.callback() && window->PageCall("doBuy", state->address) != 0) {
        state->outcome = "taken";
        webkit_download_cancel(download);
        return TRUE;
    }
    if (!window->buy_follows_) {
        state->outcome = "declined";
        webkit_download_cancel(download);
        return TRUE;
    }
    std::string folder = window->DownloadFolder();
    g_mkdir_with_parents(folder.c_str(), 0755);
    state->file = UniqueDownloadPath(folder, SafeDownloadName(suggested ? suggested : ""));
    gchar* uri = g_filename_to_uri(state->file.c_str(), nullptr, nullptr);
    webkit_download_set_destination(download, uri);
    g_free(uri);
    return TRUE;
}

void GtkWebWindow::OnDownloadFailed(WebKitDownload* download, GError* error, gpointer) {
    Download* state = StateOf(download);
    if (state) state->failure = error && error->message[0] ? error->message : "failed";
}

void GtkWebWindow::OnDownloadFinished(WebKitDownload* download, gpointer self) {
    auto* window = static_cast<GtkWebWindow*>(self);
    Download* state = StateOf(download);
    if (!state) return;
    if (!state->outcome.empty()) {
        window->channel_.Append({"download", state->address, state->outcome});
    } else if (!state->failure.empty()) {
        window->channel_.Append({"download", state->address, "failed", state->failure});
    } else {
        window->channel_.Append({"download", state->address, "saved", state->file});
    }
    ++window->downloads_ended_;
}

gboolean GtkWebWindow::OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<GtkWebWindow*>(self)->Close(true);
    return TRUE;
}

}  // namespace glyphoria::testing::webwindow_gtk

namespace glyphoria::testing::webwindow {

WebWindowLibrary& TheLibrary() {
    return webwindow_gtk::GtkWebWindow::Instance();
}

}  // namespace glyphoria::testing::webwindow
