#include "mac/gtk/gtk_nib_loader.h"

#include "mac/gtk/gtk_host_window.h"
#include "mac/gtk/gtk_web_view.h"
#include "mac/gtk/gtk_window.h"

namespace glyphoria::mac {

namespace {

constexpr int kSpacing = 8;

ViewNode& Node(ViewNode& parent, ViewKind kind, const char* id, const char* text = "") {
    return parent.Add(std::make_unique<ViewNode>(kind, id, text));
}

// The web view as the window's child: the window keeps the widget.
GtkMacWebView* AddWebView(GtkMacWindow& window, ViewNode& parent, GtkBox* box) {
    Node(parent, ViewKind::kWebView, "webView");
    auto web = std::make_unique<GtkMacWebView>();
    gtk_box_pack_start(box, web->widget(), TRUE, TRUE, 0);
    window.setWebView(std::move(web));
    return window.webView();
}

GtkBox* VBox(GtkMacWindow& window) {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing);
    gtk_container_set_border_width(GTK_CONTAINER(box), kSpacing);
    gtk_container_add(GTK_CONTAINER(window.widget()), box);
    return GTK_BOX(box);
}

}  // namespace

bool GtkMacNibLoader::loadTryController(TryNib* nib) {
    auto panel = std::make_unique<GtkMacWindow>("Glyphoria", 820, 720, true, true);
    gtk_window_set_type_hint(panel->widget(), GDK_WINDOW_TYPE_HINT_UTILITY);
    // A floating panel of the host: above its main window.
    if (GtkWindow* host = HostMainGtkWindow()) gtk_window_set_transient_for(panel->widget(), host);
    GtkBox* box = GTK_BOX(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0));
    gtk_container_add(GTK_CONTAINER(panel->widget()), GTK_WIDGET(box));
    nib->web_view = AddWebView(*panel, panel->contentView(), box);
    gtk_widget_show_all(GTK_WIDGET(box));
    nib->top_level_objects = {"NSApplication", "TryController", "Panel_840"};
    nib->panel = std::move(panel);
    return true;
}

bool GtkMacNibLoader::loadBuyController(BuyNib* nib) {
    auto panel = std::make_unique<GtkMacWindow>("Glyphoria", 760, 600, true, false);
    gtk_window_set_position(panel->widget(), GTK_WIN_POS_CENTER_ON_PARENT);
    GtkControls& controls = panel->controls();
    ViewNode& content = panel->contentView();
    GtkBox* box = VBox(*panel);

    ViewNode& folder_box = Node(content, ViewKind::kBox, "folderBox", "downloadGroupBtn");
    GtkWidget* frame = controls.bind(folder_box, gtk_frame_new(""));
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, kSpacing);
    gtk_container_set_border_width(GTK_CONTAINER(row), kSpacing);
    gtk_container_add(GTK_CONTAINER(frame), row);
    nib->folder_field = &Node(folder_box, ViewKind::kTextField, "folder");
    gtk_box_pack_start(GTK_BOX(row), controls.bind(*nib->folder_field, gtk_entry_new()), TRUE, TRUE,
                       0);
    nib->choose_button = &Node(folder_box, ViewKind::kButton, "choose", "choose");
    gtk_box_pack_start(GTK_BOX(row), controls.bind(*nib->choose_button, gtk_button_new()), FALSE,
                       FALSE, 0);
    gtk_box_pack_start(box, frame, FALSE, FALSE, 0);

    nib->install_button = &Node(content, ViewKind::kCheckBox, "install", "installBtn");
    gtk_box_pack_start(box,
                       controls.bind(*nib->install_button, gtk_check_button_new_with_label("")),
                       FALSE, FALSE, 0);
    nib->web_view = AddWebView(*panel, content, box);

    GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
    gtk_box_set_spacing(GTK_BOX(buttons), kSpacing);
    nib->show_button = &Node(content, ViewKind::kButton, "show", "show");
    gtk_container_add(GTK_CONTAINER(buttons), controls.bind(*nib->show_button, gtk_button_new()));
    nib->close_button = &Node(content, ViewKind::kButton, "close", "close");
    gtk_container_add(GTK_CONTAINER(buttons), controls.bind(*nib->close_button, gtk_button_new()));
    gtk_box_pack_start(box, buttons, FALSE, FALSE, 0);
    gtk_widget_show_all(GTK_WIDGET(box));

    auto sheet = std::make_unique<GtkMacWindow>("", 380, 120, false, false);
    GtkControls& sheet_controls = sheet->controls();
    ViewNode& sheet_content = sheet->contentView();
    GtkBox* sheet_box = VBox(*sheet);
    ViewNode& caption = Node(sheet_content, ViewKind::kTextField, "caption", "downloading");
    GtkWidget* label = sheet_controls.bind(caption, gtk_label_new(""));
    gtk_widget_set_halign(label, GTK_ALIGN_START);
    gtk_box_pack_start(sheet_box, label, FALSE, FALSE, 0);
    nib->progress_bar = &Node(sheet_content, ViewKind::kProgressIndicator, "progress");
    gtk_box_pack_start(sheet_box, sheet_controls.bind(*nib->progress_bar, gtk_progress_bar_new()),
                       FALSE, FALSE, 0);
    nib->cancel_button = &Node(sheet_content, ViewKind::kButton, "cancel", "cancel");
    GtkWidget* cancel = sheet_controls.bind(*nib->cancel_button, gtk_button_new());
    gtk_widget_set_halign(cancel, GTK_ALIGN_END);
    gtk_box_pack_start(sheet_box, cancel, FALSE, FALSE, 0);
    gtk_widget_show_all(GTK_WIDGET(sheet_box));

    nib->panel = std::move(panel);
    nib->progress_sheet = std::move(sheet);
    return true;
}

}  // namespace glyphoria::mac
