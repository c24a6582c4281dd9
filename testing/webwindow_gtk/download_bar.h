// The strip under the page: the download folder with the buttons to choose
// it and to open it, and the button that closes the window. Its texts are
// the plug-in's ("langString": "downloadGroupBtn", "choose", "show",
// "close"), already in UTF-8 when handed in.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace glyphoria::testing::webwindow_gtk {

class DownloadBar {
  public:
    struct Texts {
        std::string group, choose, show, close;
    };
    // What the buttons do; the bar keeps them until it is destroyed with
    // its widget.
    struct Actions {
        std::function<void()> choose, show, close;
    };

    // A new bar inside `box` (packed at its end).
    DownloadBar(GtkBox* box, const Texts& texts, Actions actions);
    DownloadBar(const DownloadBar&) = delete;
    DownloadBar& operator=(const DownloadBar&) = delete;

    void ShowFolder(const std::string& folder);
    std::string ShownFolder() const;

  private:
    static void OnClicked(GtkButton* button, gpointer action);

    Actions actions_;
    GtkWidget* folder_ = nullptr;
};

}  // namespace glyphoria::testing::webwindow_gtk
