#include "mac/gtk/gtk_web_view.h"

#include <libsoup/soup.h>

#include <cstdlib>

namespace glyphoria::mac {

namespace {

MacError ErrorFrom(const GError* error) {
    MacError out;
    if (!error) return out;
    out.domain = g_quark_to_string(error->domain);
    out.code = error->code;
    out.localized_description = error->message ? error->message : "";
    return out;
}

// One decision of the engine; the first answer counts.
class DecisionListener : public PolicyListener {
  public:
    enum Kind { kNone, kUse, kDownload, kIgnore };
    explicit DecisionListener(WebKitPolicyDecision* decision) : decision_(decision) {}
    void use() override {
        if (take(kUse)) webkit_policy_decision_use(decision_);
    }
    void download() override {
        if (take(kDownload)) webkit_policy_decision_download(decision_);
    }
    void ignore() override {
        if (take(kIgnore)) webkit_policy_decision_ignore(decision_);
    }
    Kind kind() const { return kind_; }

  private:
    bool take(Kind kind) {
        if (kind_ != kNone) return false;
        kind_ = kind;
        return true;
    }
    WebKitPolicyDecision* decision_;
    Kind kind_ = kNone;
};

const struct {
    const char* action;
    const char* command;
} kEditCommands[] = {
    {"selectAll:", WEBKIT_EDITING_COMMAND_SELECT_ALL},
    {"copy:", WEBKIT_EDITING_COMMAND_COPY},
    {"paste:", WEBKIT_EDITING_COMMAND_PASTE},
    {"cut:", WEBKIT_EDITING_COMMAND_CUT},
    {"undo:", WEBKIT_EDITING_COMMAND_UNDO},
};

}  // namespace

// The engine's view, made here and nowhere else: the leak checker's
// suppressions name this function for what the engine keeps out of its sight
// (tests/common/lsan_gui.supp).
__attribute__((noinline)) WebKitWebView* NewEngineView() {
    return WEBKIT_WEB_VIEW(webkit_web_view_new());
}

GtkMacWebView::GtkMacWebView() : view_(NewEngineView()) {
    g_object_ref_sink(view_);
    g_signal_connect(view_, "decide-policy", G_CALLBACK(&GtkMacWebView::OnDecidePolicy), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(&GtkMacWebView::OnLoadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(&GtkMacWebView::OnLoadFailed), this);
    g_signal_connect(webkit_web_view_get_context(view_), "download-started",
                     G_CALLBACK(&GtkMacWebView::OnDownloadStarted), this);
}

GtkMacWebView::~GtkMacWebView() {
    downloads_.clear();
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_context(view_), this);
    g_signal_handlers_disconnect_by_data(view_, this);
    webkit_web_view_stop_loading(view_);
    g_object_unref(view_);
}

void GtkMacWebView::setCustomUserAgent(const std::string& agent) {
    webkit_settings_set_user_agent(webkit_web_view_get_settings(view_), agent.c_str());
}

void GtkMacWebView::loadUrl(const std::string& url) {
    // Under way from now: the engine asks and starts a moment later.
    navigation_pending_ = true;
    webkit_web_view_load_uri(view_, url.c_str());
}

bool GtkMacWebView::TakesEditAction(const std::string& action) {
    for (const auto& c : kEditCommands)
        if (action == c.action) return true;
    return false;
}

void GtkMacWebView::performEditAction(const std::string& action) {
    for (const auto& c : kEditCommands)
        if (action == c.action) webkit_web_view_execute_editing_command(view_, c.command);
}

bool GtkMacWebView::busy() const {
    if (loading_ || navigation_pending_ || download_pending_) return true;
    for (const auto& d : downloads_)
        if (d->active()) return true;
    return false;
}

gboolean GtkMacWebView::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                       WebKitPolicyDecisionType type, gpointer self) {
    auto* web = static_cast<GtkMacWebView*>(self);
    ++web->decisions_;
    PolicyDelegate* delegate = web->policy_delegate_;
    if (!delegate) return FALSE;
    g_object_ref(decision);
    DecisionListener listener(decision);
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        WebKitURIResponse* response =
            webkit_response_policy_decision_get_response(WEBKIT_RESPONSE_POLICY_DECISION(decision));
        const char* mime = webkit_uri_response_get_mime_type(response);
        const char* uri = webkit_uri_response_get_uri(response);
        delegate->decidePolicyForMIMEType(*web, mime ? mime : "", uri ? uri : "", listener);
    } else {
        WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
            WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
        if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
            const char* frame = webkit_navigation_action_get_frame_name(action);
            delegate->decidePolicyForNewWindowAction(*web, uri ? uri : "", frame ? frame : "",
                                                     listener);
        } else {
            delegate->decidePolicyForNavigationAction(*web, uri ? uri : "", listener);
        }
    }
    // What the engine does next is under way until it says so.
    if (listener.kind() == DecisionListener::kNone) webkit_policy_decision_ignore(decision);
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
        web->navigation_pending_ = listener.kind() == DecisionListener::kUse;
    if (listener.kind() == DecisionListener::kDownload) web->download_pending_ = true;
    g_object_unref(decision);
    return TRUE;
}

void GtkMacWebView::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
    auto* web = static_cast<GtkMacWebView*>(self);
    if (event == WEBKIT_LOAD_STARTED) {
        web->loading_ = true;
        web->navigation_pending_ = false;
    }
    if (event == WEBKIT_LOAD_COMMITTED) {
        const char* uri = webkit_web_view_get_uri(view);
        web->committed_url_ = uri ? uri : "";
    }
    if (event == WEBKIT_LOAD_FINISHED) web->loading_ = false;
}

gboolean GtkMacWebView::OnLoadFailed(WebKitWebView*, WebKitLoadEvent event, gchar*, GError* error,
                                     gpointer self) {
    auto* web = static_cast<GtkMacWebView*>(self);
    web->navigation_pending_ = false;
    // A committed page that breaks off; the Mac names the frame.
    if (event == WEBKIT_LOAD_COMMITTED && web->frame_load_delegate_)
        web->frame_load_delegate_->didFailLoadWithError(*web, ErrorFrom(error), "main frame");
    return TRUE;
}

void GtkMacWebView::OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer self) {
    auto* web = static_cast<GtkMacWebView*>(self);
    if (webkit_download_get_web_view(download) != web->view_) return;
    web->download_pending_ = false;
    web->downloads_.push_back(std::make_unique<GtkMacDownload>(*web, download));
    GtkMacDownload& wrapped = *web->downloads_.back();
    if (!web->download_delegate_) {
        // Nobody to give the file to.
        wrapped.cancel();
        return;
    }
    web->download_delegate_->downloadDidBegin(wrapped);
}

GtkMacDownload::GtkMacDownload(GtkMacWebView& owner, WebKitDownload* download)
    : owner_(owner), download_(WEBKIT_DOWNLOAD(g_object_ref(download))) {
    g_signal_connect(download_, "notify::response", G_CALLBACK(&GtkMacDownload::OnResponse), this);
    g_signal_connect(download_, "decide-destination",
                     G_CALLBACK(&GtkMacDownload::OnDecideDestination), this);
    g_signal_connect(download_, "received-data", G_CALLBACK(&GtkMacDownload::OnReceivedData), this);
    g_signal_connect(download_, "finished", G_CALLBACK(&GtkMacDownload::OnFinished), this);
    g_signal_connect(download_, "failed", G_CALLBACK(&GtkMacDownload::OnFailed), this);
}

GtkMacDownload::~GtkMacDownload() {
    g_signal_handlers_disconnect_by_data(download_, this);
    if (active()) webkit_download_cancel(download_);
    g_object_unref(download_);
}

DownloadDelegate* GtkMacDownload::delegate() const {
    return active() ? owner_.download_delegate_ : nullptr;
}

void GtkMacDownload::cancel() {
    if (!active()) return;
    cancelled_ = true;
    webkit_download_cancel(download_);
}

std::string GtkMacDownload::requestUrl() const {
    const char* uri = webkit_uri_request_get_uri(webkit_download_get_request(download_));
    return uri ? uri : "";
}

int GtkMacDownload::responseStatus() const {
    WebKitURIResponse* response = webkit_download_get_response(download_);
    return response ? static_cast<int>(webkit_uri_response_get_status_code(response)) : 0;
}

void GtkMacDownload::OnResponse(WebKitDownload* download, GParamSpec*, gpointer self) {
    auto* d = static_cast<GtkMacDownload*>(self);
    DownloadDelegate* delegate = d->delegate();
    WebKitURIResponse* response = webkit_download_get_response(download);
    if (!delegate || !response) return;
    // The engine says 0 both for an empty body and for no length at all: the
    // header tells them apart.
    std::int64_t expected = -1;
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    if (headers && soup_message_headers_get_one(headers, "Content-Length"))
        expected = static_cast<std::int64_t>(webkit_uri_response_get_content_length(response));
    delegate->didReceiveResponse(*d, expected);
}

gboolean GtkMacDownload::OnDecideDestination(WebKitDownload* download, gchar* filename,
                                             gpointer self) {
    auto* d = static_cast<GtkMacDownload*>(self);
    DownloadDelegate* delegate = d->delegate();
    if (!delegate) {
        d->cancel();
        return TRUE;
    }
    bool overwrite = false;
    const std::string path =
        delegate->decideDestinationWithSuggestedFilename(*d, filename ? filename : "", &overwrite);
    if (!d->active()) return TRUE;
    if (path.empty()) {
        d->cancel();
        return TRUE;
    }
    char* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    if (!uri) {
        d->cancel();
        return TRUE;
    }
    // The engine reads the leave to overwrite when the destination is set.
    webkit_download_set_allow_overwrite(download, overwrite);
    webkit_download_set_destination(download, uri);
    g_free(uri);
    return TRUE;
}

void GtkMacDownload::OnReceivedData(WebKitDownload*, guint64 length, gpointer self) {
    auto* d = static_cast<GtkMacDownload*>(self);
    if (DownloadDelegate* delegate = d->delegate())
        delegate->didReceiveDataOfLength(*d, static_cast<std::uint32_t>(length));
}

void GtkMacDownload::OnFinished(WebKitDownload*, gpointer self) {
    auto* d = static_cast<GtkMacDownload*>(self);
    DownloadDelegate* delegate = d->delegate();
    // The engine finishes a failed download too; that one was told already.
    d->ended_ = true;
    if (delegate) delegate->downloadDidFinish(*d);
}

void GtkMacDownload::OnFailed(WebKitDownload*, GError* error, gpointer self) {
    auto* d = static_cast<GtkMacDownload*>(self);
    DownloadDelegate* delegate = d->delegate();
    d->ended_ = true;
    if (delegate) delegate->didFailWithError(*d, ErrorFrom(error));
}

}  // namespace glyphoria::mac
