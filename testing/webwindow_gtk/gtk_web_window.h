// The web-window library over a real web engine (WebKitGTK 4.1, GTK 3): the
// same exported entries, commands and callbacks as the headless library
// (testing/webwindow/webwindow_api.h), with a real window showing the page.
//
// Commands from the plug-in ("main"):
//   "version"          keeps the callback (null clears it); answers 28 unless
//                      set otherwise.
//   "isTryWndVisible"  1 while the window is on screen.
//   "showTryWnd"       opens the window (or brings it to the front) and starts
//                      loading the address; 1 when the load has started, 0
//                      for a null or empty address or when no display opens.
//                      The window counts as shown also when the page does not
//                      load; the window then shows the engine's reason above
//                      the page.
//   "closeTryWnd"      remembers the window's size and place, closes it; 0.
// Anything else, also a known word in other letter case: 0.
//
// What the page does reaches the plug-in through its callback, as the
// headless library sends it:
//   a link to glyphoria://try?Q        "doTry" with Q
//   a link to glyphoria://revert?Q     "doRevert" with Q
//   a link to glyphoria://homepage     "doHomepage" with the address
//   a request for a new window         "doNewWindow" with its address; no
//                                      window opens
//   an answer the engine would download (an attachment, or a type it
//   cannot show): "doBuy" with its address first. Non-zero: the plug-in took
//   it and the engine's download is cancelled. 0: the engine downloads it,
//   as a browser would, into the download folder ("downloadFolder" through
//   "prefString", else $XDG_DOWNLOAD_DIR, else ~/Downloads) under the
//   server's name, never over an existing file.
// Texts through "langString": the title ("glyphoria", else "glyphoria1",
// without the menu's ellipsis) and the strip under the page
// ("downloadGroupBtn", "choose", "show", "close", "prompt", "invalidPath").
// The window's size and place through "prefString"/"setPrefString" (key
// "tryWndRect", window_geometry.h), read when the window opens and written
// when it closes. The window is made transient for the host's window when
// "hostWnd" answers the X11 id of a GtkWindow of this process.
//
// Who runs the loop. There is one GTK main loop per process and the library
// never starts one. Every entry must be called on the thread that runs GTK
// (the host's user-interface thread). The library opens GTK itself when the
// host has not, without touching the process's locale.
//   - A host with a window runs GTK's main loop; clicks, loads and downloads
//     reach the plug-in from that loop, and "main" never waits.
//   - A host that runs scripts without a loop: the entries that act
//     (glyphoria_webwindow_act) iterate the default main context themselves
//     until what they wait for has happened: the page has loaded (at most
//     kLoadLimit), the click's command has reached the plug-in (at most
//     kClickLimit), a download has ended (at most kDownloadLimit). Nothing
//     waits longer; a time limit gives -1 and a note. Between entries the
//     window stands still.
// Waiting inside a running loop nests, so acts also work from a script that
// the host runs inside its loop.
//
// Actions (glyphoria_webwindow_act; -1 and a note when they cannot happen):
//   "try" ID        the engine clicks the try link of font ID in the page;
//                   the answer of the "doTry" it leads to.
//   "revert"        clicks the page's revert link (#revert); "doRevert"'s answer.
//   "homepage"      clicks the homepage link (#homepage); "doHomepage"'s answer.
//   "newWindow" A   clicks a link to A that opens a new window; "doNewWindow"'s.
//   "buy" [SEL]     clicks the page's cart link (#cart), then on the cart the
//                   first download link (class "download") whose address
//                   contains SEL (an address: loads it instead); waits until
//                   the download has ended, goes back to the page it started
//                   from and answers "doBuy"'s answer. -1 when the link showed
//                   a page instead of a download.
//   "wait"          waits for the page; 1 when it loaded and the window shows it.
//   "snapshot" FILE a PNG of the page as the window shows it; 1.
//   "chooseFolder" PATH  what choosing PATH in the folder dialog does: stores
//                   it as "downloadFolder" through "setPrefString"; -1 for a
//                   path that is no folder or does not fit the 255 bytes.
//   "prefString", "langString", "setPrefString", "hostWnd", "call": as the
//                   headless library (host_channel.h).
//
// Record lines: those of host_channel.h, and
//   load      <address> ok | <engine's reason>   a page load that ended
//   download  <address> taken | declined | saved <file> | failed <reason>
// Control settings: "version", "visible" ("0" closes the window, "1" brings
// it to the front), "caFile" (certificate trusted for HTTPS on 127.0.0.1 and
// localhost; without one, certificate errors are ignored), "buyFollows"
// ("0": a download the plug-in declines is cancelled), "downloadFolder"
// (overrides the folder for the engine's downloads; "" undoes it),
// "clearRecord", "reset" (window closed without remembering, callback and
// settings back to the start).
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "testing/webwindow/library.h"
#include "testing/webwindow_gtk/download_bar.h"

namespace glyphoria::testing::webwindow_gtk {

constexpr std::chrono::seconds kLoadLimit{30};
constexpr std::chrono::seconds kClickLimit{10};
constexpr std::chrono::seconds kDownloadLimit{60};

class GtkWebWindow final : public webwindow::WebWindowLibrary {
  public:
    static GtkWebWindow& Instance();

    int32_t Act(const char* action, const char* argument) override;
    int32_t Control(const char* setting, const char* value) override;

  private:
    struct Download;
    static Download* StateOf(WebKitDownload* download);

    // The window.
    int32_t ShowWindow(const char* address) override;
    bool WindowVisible() override { return Visible(); }
    void CloseWindow() override { Close(true); }
    void BuildWindow();
    void Close(bool remember);
    void ShowFailure(const std::string& text);
    bool Visible() const;
    void RestoreGeometry();
    void SaveGeometry();
    std::string Text(const char* key);
    std::string DownloadFolder();
    bool ChooseFolder(const std::string& path);
    void AskForFolder();
    WebKitWebContext* Context();
    void ApplyCertificates();

    // The user's hand.
    bool PageReady(const std::string& action);
    // The page drawn by the engine and painted by the window since the call.
    bool PageOnScreen();
    int32_t Click(const std::string& action, const char* selector, const char* command);
    int32_t Try(const std::string& id);
    int32_t NewWindow(const std::string& address);
    int32_t Buy(const std::string& selector);
    int32_t Snapshot(const std::string& path);
    int32_t AwaitPageCall(const std::string& action, uint64_t before, const char* command);
    void ReturnTo(WebKitBackForwardListItem* item);

    // The engine.
    int32_t PageCommand(const std::string& address);
    int32_t PageCall(const char* command, const std::string& argument);
    static gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer self);
    static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
    static gboolean OnLoadFailed(WebKitWebView* view, WebKitLoadEvent event, gchar* address,
                                 GError* error, gpointer self);
    static void OnDownloadStarted(WebKitWebContext* context, WebKitDownload* download,
                                  gpointer self);
    static gboolean OnDecideDestination(WebKitDownload* download, gchar* suggested, gpointer self);
    static void OnDownloadFailed(WebKitDownload* download, GError* error, gpointer self);
    static void OnDownloadFinished(WebKitDownload* download, gpointer self);
    static gboolean OnDeleteEvent(GtkWidget* widget, GdkEvent* event, gpointer self);

    std::string ca_file_;
    bool buy_follows_ = true;
    std::string download_folder_;

    WebKitWebContext* context_ = nullptr;  // made once, kept for the process
    GtkWidget* window_ = nullptr;
    GtkWidget* failure_label_ = nullptr;  // why the page did not load
    WebKitWebView* view_ = nullptr;
    std::unique_ptr<DownloadBar> bar_;
    std::unique_ptr<DownloadBar> retired_bar_;

    // The page: loading_ while a load runs; shown_ what the last load that
    // ended with a page gave (an interrupted load, such as an answer turned
    // into a download, leaves the page as it was).
    enum class Shown { kNothing, kPage, kFailure };
    bool loading_ = false;
    Shown shown_ = Shown::kNothing;
    std::string requested_;  // the address the running load started with
    std::string failure_;
    bool interrupted_ = false;
    uint64_t pages_shown_ = 0;

    uint64_t page_calls_ = 0;  // callbacks the page caused
    std::string last_call_command_;
    int32_t last_call_result_ = 0;
    uint64_t downloads_ended_ = 0;
};

}  // namespace glyphoria::testing::webwindow_gtk
