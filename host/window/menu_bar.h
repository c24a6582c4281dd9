// The layout window's menu bar: menus of entries whose state (enabled,
// checked, name) is asked for each time their menu opens, as a host asks
// its action components before it shows a menu. While a plug-in holds the
// modal-dialog state every entry shows disabled, and an entry that is
// activated anyway does nothing.
//
// Key equivalents are only shown beside the entries; the window handles the
// keys itself (layout_window.h), so a key never depends on a state asked
// for the last time the menu was open.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hostwindow {

struct MenuState {
    bool enabled = true;
    bool checked = false;
    std::string name;  // the entry's text; empty keeps the text it has
};

struct MenuEntry {
    std::string name;
    std::function<void()> run;
    std::function<void(MenuState*)> state;  // empty: always enabled, never checked
    bool checkable = false;
    guint key = 0;  // shown beside the entry
    GdkModifierType modifiers = GdkModifierType(0);
};

class MenuBar {
  public:
    MenuBar();
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    GtkWidget* Widget() const { return bar_; }
    // Appends to the menu of that title (made at the end of the bar when
    // new) and returns the entry's item. An empty entry name adds a line.
    GtkWidget* Add(const std::string& menu, MenuEntry entry);
    // Asks every entry of the menu its state now, as opening it does.
    void Update(const std::string& menu);
    // The menu's items in order (separators included); empty when unknown.
    std::vector<GtkWidget*> Items(const std::string& menu) const;

  private:
    struct Entry;
    struct Menu;
    static void OnShow(GtkWidget* menu, gpointer data);
    static void OnActivate(GtkMenuItem* item, gpointer data);
    Menu* Find(const std::string& title) const;
    static void UpdateMenu(Menu* menu);

    GtkWidget* bar_;
    std::vector<std::unique_ptr<Menu>> menus_;
};

}  // namespace hostwindow
