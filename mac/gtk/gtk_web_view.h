// The web view of the Mac forms on WebKitGTK, with the delegates mapped onto
// the engine's signals:
//
// - Policy: every navigation ("decide-policy", navigation action), new-window
//   request (new-window action) and response (response: its MIME type) asks
//   the policy delegate; without one the engine goes on. A request the
//   delegate leaves without any decision is ignored: the engine would
//   otherwise load the address, where the Mac's web view leaves it unloaded.
// - Frame load: a load that fails after it was committed is reported to the
//   frame-load delegate; one that fails before (an address the engine cannot
//   show, a load the policy stopped or turned into a download) is not, as a
//   failed provisional load is not. No error page replaces the page shown.
// - Downloads: a response the delegate decided to download becomes the
//   engine's download, whose calls arrive as the engine makes them: begin,
//   response (the expected length, -1 when the server gave none), the
//   destination (the engine suggests the file name; an empty destination
//   cancels; leave to overwrite is given before the destination), data...,
//   then finish or failure. After a cancel, and after a failure, the engine's
//   further calls are not passed on.
//
// The widget belongs to the window it is put in; the downloads this view
// started are its own and go with it.
#pragma once

#include <webkit2/webkit2.h>

#include <memory>
#include <string>
#include <vector>

#include "mac/seam/web_view.h"

namespace glyphoria::mac {

class GtkMacDownload;

WebKitWebView* NewEngineView();

class GtkMacWebView : public WebView {
  public:
    GtkMacWebView();
    ~GtkMacWebView() override;
    GtkMacWebView(const GtkMacWebView&) = delete;
    GtkMacWebView& operator=(const GtkMacWebView&) = delete;

    GtkWidget* widget() const { return GTK_WIDGET(view_); }
    WebKitWebView* view() const { return view_; }

    void setCustomUserAgent(const std::string& agent) override;
    void setFrameLoadDelegate(FrameLoadDelegate* d) override { frame_load_delegate_ = d; }
    void setPolicyDelegate(PolicyDelegate* d) override { policy_delegate_ = d; }
    void setDownloadDelegate(DownloadDelegate* d) override { download_delegate_ = d; }
    void loadUrl(const std::string& url) override;

    // The edit actions a web view takes as first responder, as the engine's
    // editing commands.
    static bool TakesEditAction(const std::string& action);
    void performEditAction(const std::string& action);

    // For the hands: the address of the page last committed, the decisions
    // asked so far, whether a load or a download is under way.
    const std::string& committedUrl() const { return committed_url_; }
    int decisionsAsked() const { return decisions_; }
    bool busy() const;
    int downloadsStarted() const { return static_cast<int>(downloads_.size()); }

  private:
    friend class GtkMacDownload;
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer self);
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self);
    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent event, gchar* uri, GError* error,
                                 gpointer self);
    static void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer self);

    WebKitWebView* view_;
    std::string committed_url_;
    int decisions_ = 0;
    bool loading_ = false;
    bool navigation_pending_ = false;
    bool download_pending_ = false;
    FrameLoadDelegate* frame_load_delegate_ = nullptr;
    PolicyDelegate* policy_delegate_ = nullptr;
    DownloadDelegate* download_delegate_ = nullptr;
    std::vector<std::unique_ptr<GtkMacDownload>> downloads_;
};

// One download of the engine, as the download delegate sees it.
class GtkMacDownload : public Download {
  public:
    GtkMacDownload(GtkMacWebView& owner, WebKitDownload* download);
    ~GtkMacDownload() override;
    GtkMacDownload(const GtkMacDownload&) = delete;
    GtkMacDownload& operator=(const GtkMacDownload&) = delete;

    void cancel() override;
    std::string requestUrl() const override;
    int responseStatus() const override;
    bool active() const { return !cancelled_ && !ended_; }

  private:
    static void OnResponse(WebKitDownload*, GParamSpec*, gpointer self);
    static gboolean OnDecideDestination(WebKitDownload*, gchar* filename, gpointer self);
    static void OnReceivedData(WebKitDownload*, guint64 length, gpointer self);
    static void OnFinished(WebKitDownload*, gpointer self);
    static void OnFailed(WebKitDownload*, GError* error, gpointer self);
    DownloadDelegate* delegate() const;

    GtkMacWebView& owner_;
    WebKitDownload* download_;
    bool cancelled_ = false;
    bool ended_ = false;
};

}  // namespace glyphoria::mac
