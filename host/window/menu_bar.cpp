#include "host/window/menu_bar.h"

#include "host/sdk/session.h"

namespace hostwindow {

struct MenuBar::Entry {
    MenuEntry entry;
    GtkWidget* item = nullptr;
};

struct MenuBar::Menu {
    std::string title;
    GtkWidget* menu = nullptr;
    std::vector<std::unique_ptr<Entry>> entries;
};

MenuBar::MenuBar() : bar_(gtk_menu_bar_new()) {
    g_object_ref_sink(bar_);
}

MenuBar::~MenuBar() {
    // The items and menus go with the bar, and with them every handler that
    // points at an entry.
    gtk_widget_destroy(bar_);
    g_object_unref(bar_);
}

MenuBar::Menu* MenuBar::Find(const std::string& title) const {
    for (const auto& m : menus_)
        if (m->title == title) return m.get();
    return nullptr;
}

GtkWidget* MenuBar::Add(const std::string& title, MenuEntry entry) {
    Menu* menu = Find(title);
    if (!menu) {
        menus_.push_back(std::make_unique<Menu>());
        menu = menus_.back().get();
        menu->title = title;
        menu->menu = gtk_menu_new();
        GtkWidget* top = gtk_menu_item_new_with_label(title.c_str());
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(top), menu->menu);
        gtk_menu_shell_append(GTK_MENU_SHELL(bar_), top);
        g_signal_connect(menu->menu, "show", G_CALLBACK(OnShow), menu);
        gtk_widget_show(top);
    }
    GtkWidget* item;
    if (entry.name.empty()) {
        item = gtk_separator_menu_item_new();
    } else {
        item = entry.checkable ? gtk_check_menu_item_new_with_label(entry.name.c_str())
                               : gtk_menu_item_new_with_label(entry.name.c_str());
        if (entry.key)
            gtk_accel_label_set_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(item))), entry.key,
                                      entry.modifiers);
    }
    gtk_menu_shell_append(GTK_MENU_SHELL(menu->menu), item);
    gtk_widget_show(item);
    menu->entries.push_back(std::make_unique<Entry>());
    Entry* e = menu->entries.back().get();
    e->entry = std::move(entry);
    e->item = item;
    if (!e->entry.name.empty()) g_signal_connect(item, "activate", G_CALLBACK(OnActivate), e);
    return item;
}

void MenuBar::UpdateMenu(Menu* menu) {
    const bool blocked = IsModalDialogStateHeld();
    for (const auto& e : menu->entries) {
        if (e->entry.name.empty()) continue;
        MenuState state;
        if (e->entry.state) e->entry.state(&state);
        gtk_widget_set_sensitive(e->item, state.enabled && !blocked);
        if (!state.name.empty())
            gtk_menu_item_set_label(GTK_MENU_ITEM(e->item), state.name.c_str());
        if (e->entry.checkable) {
            // The check mark shows the state; setting it must not run the entry.
            g_signal_handlers_block_by_func(e->item, reinterpret_cast<gpointer>(OnActivate),
                                            e.get());
            gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(e->item), state.checked);
            g_signal_handlers_unblock_by_func(e->item, reinterpret_cast<gpointer>(OnActivate),
                                              e.get());
        }
    }
}

void MenuBar::Update(const std::string& title) {
    if (Menu* menu = Find(title)) UpdateMenu(menu);
}

std::vector<GtkWidget*> MenuBar::Items(const std::string& title) const {
    std::vector<GtkWidget*> items;
    if (const Menu* menu = Find(title))
        for (const auto& e : menu->entries)
            items.push_back(e->item);
    return items;
}

void MenuBar::OnShow(GtkWidget*, gpointer data) {
    UpdateMenu(static_cast<Menu*>(data));
}

void MenuBar::OnActivate(GtkMenuItem*, gpointer data) {
    auto* e = static_cast<Entry*>(data);
    if (IsModalDialogStateHeld() || !e->entry.run) return;
    if (e->entry.state) {
        MenuState state;
        e->entry.state(&state);
        if (!state.enabled) return;
    }
    e->entry.run();
}

}  // namespace hostwindow
