// The user's hands on the GTK seam: real events through GTK's delivery
// (clicks, keys, the window manager's close request), links followed by the
// engine itself (a JavaScript click in the page), and the main loop run
// while waiting. A dialog the seam runs (folder chooser, alert) is answered
// as a person would answer it from the moment these hands are first used:
// the folder chooser with the queued folder (or Cancel), an alert with OK
// after its texts were read. While nobody uses the hands, dialogs wait for
// the person.
//
// Waiting has a time limit (kHandsTimeLimitMs for a click's consequences); a
// link click waits until the engine has decided about the navigation and
// whatever it started (a page load, a download) is over.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "mac/gtk/gtk_seam.h"
#include "mac/hands.h"

namespace glyphoria::mac {

constexpr int kHandsTimeLimitMs = 20000;

class GtkHands : public MacHands {
  public:
    explicit GtkHands(GtkSeam& seam) : seam_(seam) {}
    ~GtkHands() override;

    std::string pageUrl(WebView& view) override;
    std::vector<PageLink> links(WebView& view) override;
    bool clickLink(WebView& view, const std::string& which) override;
    bool clickControl(Window& window, const std::string& id) override;
    bool pressKey(Window& window, const PanelEvent& event) override;
    bool closeWindow(Window& window) override;
    void whenModal(const boost::function<void()>& step) override;
    void answerFolderChooser(const std::string& folder) override;
    std::vector<ShownAlert> alertsShown() override;
    std::vector<std::string> openedUrls() override;
    bool waitFor(const boost::function<bool()>& done, int milliseconds) override;
    bool snapshot(Window* window, const std::string& path) override;

  private:
    void startAnswering();
    static gboolean AnswerDialogs(gpointer self);
    void answerChooser(GtkFileChooser* chooser);
    // The script's result as text, or empty when it failed or took too long.
    std::string evaluate(WebView& view, const std::string& script, bool* ok);

    GtkSeam& seam_;
    guint watch_ = 0;
    std::deque<std::string> folders_;
    // The chooser being answered and the folder it is sent to.
    GtkFileChooser* chooser_ = nullptr;
    std::string chooser_folder_;
    std::vector<ShownAlert> alerts_;
};

}  // namespace glyphoria::mac
