// The host program's layout window: the front document's spread (page_view.h)
// under a menu bar with File, Edit and View and the plug-ins' own menus
// (their entries enabled, checked and named as the plug-ins' action
// components say when a menu opens), a status line, and the keys a person
// expects: the plug-ins' shortcut keys in "DefaultContext", Ctrl+Z and
// Ctrl+Shift+Z, Ctrl+O, Ctrl+S, Ctrl+Shift+S, Ctrl+W, Ctrl+A, Ctrl+Shift+A,
// Ctrl++, Ctrl+- and Ctrl+0, Page Up and Page Down.
//
// The window is the host's main window while it lives: the handle plug-ins
// are given is its X11 window id. It runs the idle tasks from the event loop and
// repaints after every change the host reports. While a plug-in holds the
// modal-dialog state its menus, keys and pointer do nothing; the host holds
// that state itself while its own file and question dialogs are up.
//
// Closing it (close box, File > Close, Close()) ends the host's session
// once: the window is hidden, the plug-ins shut down, then the close handler
// runs (the program leaves its loop there). One window per process.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "host/core/model.h"
#include "host/sdk/types.h"
#include "host/window/menu_bar.h"
#include "host/window/page_view.h"

namespace hostwindow {

class LayoutWindow {
  public:
    // docPath: the front document's file (title, File > Save).
    explicit LayoutWindow(const std::string& docPath);
    ~LayoutWindow();
    LayoutWindow(const LayoutWindow&) = delete;
    LayoutWindow& operator=(const LayoutWindow&) = delete;

    // The window that exists, nil when none.
    static LayoutWindow* Current();

    GtkWindow* Window() const { return GTK_WINDOW(window_); }
    PageView& View() { return *view_; }
    MenuBar& Menus() { return *menus_; }
    // The item of a plug-in's menu action, nil when it has none.
    GtkWidget* ActionItem(ActionID id) const;
    const std::string& DocumentPath() const { return docPath_; }

    void Show();
    void SetCloseHandler(std::function<void()> handler) { onClose_ = std::move(handler); }
    // Closes as the close box does, without asking to save.
    void Close();
    bool Closed() const { return closed_; }

    // What the menus and keys do; false with *error set when it could not.
    bool OpenDocumentFile(const std::string& path, std::string* error);
    bool SaveDocumentFile(const std::string& path, std::string* error);
    void Undo();
    void Redo();
    void SelectAll();  // the items of the spread shown
    void ZoomBy(double factor);
    bool SetZoom(double zoom);

    // The window as drawn now (menus, page, status line), an ARGB32 surface
    // the caller destroys.
    cairo_surface_t* Picture();

  private:
    void BuildMenus();
    void AddPlugInMenus();
    void ScheduleRefresh();
    static gboolean OnRefresh(gpointer self);
    void UpdateTitleAndStatus();
    static gboolean OnIdleTick(gpointer self);
    static gboolean OnKey(GtkWidget* widget, GdkEventKey* event, gpointer self);
    static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
    bool HandleKey(const GdkEventKey* event);
    bool PlugInShortcut(guint keyval);
    void EndSession();

    // Person's commands with dialogs.
    void OpenAsked();
    void SaveAsked(bool choose);
    // true when the document may go: saved, discarded or unchanged.
    bool MayLoseChanges(const char* doing);
    bool Modified();
    void MarkSaved();

    GtkWidget* window_;
    GtkWidget* status_;
    std::unique_ptr<PageView> view_;
    std::unique_ptr<MenuBar> menus_;
    std::map<ActionID, GtkWidget*> actionItems_;
    std::string docPath_;
    std::function<void()> onClose_;
    bool closed_ = false;
    guint idleSource_ = 0;
    guint refreshSource_ = 0;
    // The model as last opened or saved, and the revision it was seen at.
    const void* savedDoc_ = nullptr;
    unsigned long long checkedRevision_ = 0;
    bool modified_ = false;
    hostcore::DocModel savedModel_;
};

}  // namespace hostwindow
