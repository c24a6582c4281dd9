#include "testing/webwindow_gtk/download_bar.h"

namespace glyphoria::testing::webwindow_gtk {

DownloadBar::DownloadBar(GtkBox* box, const Texts& texts, Actions actions)
    : actions_(std::move(actions)) {
    GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    gtk_container_set_border_width(GTK_CONTAINER(bar), 6);
    gtk_box_pack_start(GTK_BOX(bar), gtk_label_new((texts.group + ":").c_str()), FALSE, FALSE, 0);
    folder_ = gtk_label_new("");
    gtk_label_set_ellipsize(GTK_LABEL(folder_), PANGO_ELLIPSIZE_MIDDLE);
    gtk_label_set_xalign(GTK_LABEL(folder_), 0);
    gtk_box_pack_start(GTK_BOX(bar), folder_, TRUE, TRUE, 0);
    const std::pair<const std::string&, std::function<void()>*> buttons[] = {
        {texts.choose, &actions_.choose},
        {texts.show, &actions_.show},
        {texts.close, &actions_.close}};
    for (const auto& [text, action] : buttons) {
        GtkWidget* button = gtk_button_new_with_label(text.c_str());
        g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), action);
        gtk_box_pack_start(GTK_BOX(bar), button, FALSE, FALSE, 0);
    }
    gtk_box_pack_end(box, bar, FALSE, FALSE, 0);
    gtk_box_pack_end(box, gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), FALSE, FALSE, 0);
}

void DownloadBar::OnClicked(GtkButton*, gpointer action) {
    auto* run = static_cast<std::function<void()>*>(action);
    if (*run) (*run)();
}

void DownloadBar::ShowFolder(const std::string& folder) {
    gtk_label_set_text(GTK_LABEL(folder_), folder.c_str());
    gtk_widget_set_tooltip_text(folder_, folder.c_str());
}

std::string DownloadBar::ShownFolder() const {
    return gtk_label_get_text(GTK_LABEL(folder_));
}

}  // namespace glyphoria::testing::webwindow_gtk
