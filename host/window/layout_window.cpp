// Divisions: 1. building the window and its menus, 2. refreshing after
// changes, 3. keys, 4. documents (open, save, losing changes), 5. closing.
#include "host/window/layout_window.h"

#include <gdk/gdkx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/app/doc_io.h"
#include "host/app/paths.h"
#include "host/core/document.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/session.h"
#include "host/window/page_hits.h"

namespace hostwindow {

namespace {

LayoutWindow*& CurrentWindow() {
    static LayoutWindow* window = nullptr;
    return window;
}

constexpr guint kIdleTickMilliseconds = 20;
const double kZoomSteps[] = {0.1, 0.25, 0.5, 0.75, 1, 1.25, 1.5, 2, 3, 4, 6, 8};
// A key pressed alone, as the two forms of a plug-in bind it: the Windows
// form with modifier value 1, the Mac form with 4096.
const int32 kOneKeyModifiers[] = {1, 4096};
constexpr const char* kPlugInMenuFallback = "Plug-ins";

hostcore::Document* Front() {
    return hostcore::FrontDocument();
}

std::string FileName(const std::string& path) {
    size_t slash = hostapp::LastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

MenuEntry Entry(const char* name, std::function<void()> run, guint key = 0,
                GdkModifierType mods = GdkModifierType(0),
                std::function<void(MenuState*)> state = nullptr) {
    MenuEntry e;
    e.name = name;
    e.run = std::move(run);
    e.key = key;
    e.modifiers = mods;
    e.state = std::move(state);
    return e;
}

const GdkModifierType kCtrl = GDK_CONTROL_MASK;
const GdkModifierType kCtrlShift = GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK);

}  // namespace

// ---- 1. building the window and its menus ------------------------------------------

LayoutWindow::LayoutWindow(const std::string& docPath)
    : window_(gtk_window_new(GTK_WINDOW_TOPLEVEL)),
      status_(gtk_label_new("")),
      view_(std::make_unique<PageView>()),
      menus_(std::make_unique<MenuBar>()),
      docPath_(docPath) {
    CurrentWindow() = this;
    gtk_window_set_role(GTK_WINDOW(window_), "layout");
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(scroller), view_->Widget());
    gtk_label_set_xalign(GTK_LABEL(status_), 0);
    gtk_widget_set_margin_start(status_, 8);
    gtk_widget_set_margin_top(status_, 3);
    gtk_widget_set_margin_bottom(status_, 3);
    gtk_box_pack_start(GTK_BOX(box), menus_->Widget(), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), scroller, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), status_, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(window_), box);
    BuildMenus();

    int w = 800, h = 600;
    if (hostcore::Document* doc = Front()) {
        if (!doc->Model().spreads.empty()) {
            const PMRect b = doc->Model().FindNode(doc->Model().spreads[0])->box;
            w = static_cast<int>(std::ceil(b.Width())) + 80;
            h = static_cast<int>(std::ceil(b.Height())) + 120;
        }
    }
    gtk_window_set_default_size(GTK_WINDOW(window_), std::min(w, 1200), std::min(h, 900));
    g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKey), this);
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);

    MarkSaved();
    // The host's main window handle is the window system's own id, as a
    // window handle is elsewhere, so a library can own its windows by it.
    gtk_widget_realize(window_);
    GdkWindow* native = gtk_widget_get_window(window_);
    if (GDK_IS_X11_WINDOW(native))
        hostcore::SetMainWindowHandle(static_cast<std::uintptr_t>(GDK_WINDOW_XID(native)));
    hostcore::SetViewObserver([this] { ScheduleRefresh(); });
    idleSource_ = g_timeout_add(kIdleTickMilliseconds, OnIdleTick, this);
    UpdateTitleAndStatus();
}

LayoutWindow::~LayoutWindow() {
    onClose_ = nullptr;
    EndSession();
    hostcore::SetViewObserver(nullptr);
    if (refreshSource_) g_source_remove(refreshSource_);
    hostcore::SetMainWindowHandle(0);
    g_signal_handlers_disconnect_by_data(window_, this);
    gtk_widget_destroy(window_);
    CurrentWindow() = nullptr;
}

LayoutWindow* LayoutWindow::Current() {
    return CurrentWindow();
}

void LayoutWindow::Show() {
    gtk_widget_show_all(window_);
}

void LayoutWindow::BuildMenus() {
    MenuBar& m = *menus_;
    m.Add("File", Entry(
                      "Open...", [this] { OpenAsked(); }, GDK_KEY_o, kCtrl));
    m.Add("File", Entry(
                      "Save", [this] { SaveAsked(false); }, GDK_KEY_s, kCtrl));
    m.Add("File", Entry(
                      "Save As...", [this] { SaveAsked(true); }, GDK_KEY_s, kCtrlShift));
    m.Add("File", MenuEntry());
    m.Add("File", Entry(
                      "Close",
                      [this] {
                          if (MayLoseChanges("closing")) EndSession();
                      },
                      GDK_KEY_w, kCtrl));

    auto stepState = [](bool undo) {
        return [undo](MenuState* s) {
            hostcore::Document* doc = Front();
            const auto* steps = doc ? (undo ? &doc->UndoSteps() : &doc->RedoSteps()) : nullptr;
            s->enabled = steps && !steps->empty();
            s->name = undo ? "Undo" : "Redo";
            if (s->enabled && !steps->back().name.empty()) s->name += " " + steps->back().name;
        };
    };
    m.Add("Edit", Entry(
                      "Undo", [this] { Undo(); }, GDK_KEY_z, kCtrl, stepState(true)));
    m.Add("Edit", Entry(
                      "Redo", [this] { Redo(); }, GDK_KEY_z, kCtrlShift, stepState(false)));
    m.Add("Edit", MenuEntry());
    m.Add("Edit", Entry(
                      "Select All", [this] { SelectAll(); }, GDK_KEY_a, kCtrl));
    m.Add("Edit", Entry(
                      "Deselect All", [] { hostcore::ClearSelection(); }, GDK_KEY_a, kCtrlShift));

    m.Add("View", Entry(
                      "Zoom In", [this] { ZoomBy(1); }, GDK_KEY_plus, kCtrl));
    m.Add("View", Entry(
                      "Zoom Out", [this] { ZoomBy(-1); }, GDK_KEY_minus, kCtrl));
    m.Add("View", Entry(
                      "Actual Size", [this] { SetZoom(1); }, GDK_KEY_0, kCtrl));
    m.Add("View", MenuEntry());
    m.Add("View",
          Entry(
              "Previous Spread", [this] { view_->SetSpread(view_->Spread() - 1); }, GDK_KEY_Page_Up,
              GdkModifierType(0), [this](MenuState* s) { s->enabled = view_->Spread() > 0; }));
    m.Add("View",
          Entry(
              "Next Spread", [this] { view_->SetSpread(view_->Spread() + 1); }, GDK_KEY_Page_Down,
              GdkModifierType(0),
              [this](MenuState* s) { s->enabled = view_->Spread() + 1 < view_->SpreadCount(); }));
    AddPlugInMenus();
}

void LayoutWindow::AddPlugInMenus() {
    // The plug-ins' menus in the order they are first named; Help last.
    std::vector<hostcore::ActionInfo> actions = hostcore::Actions();
    std::stable_partition(actions.begin(), actions.end(),
                          [](const hostcore::ActionInfo& a) { return a.menu != "Help"; });
    for (const hostcore::ActionInfo& a : actions) {
        MenuEntry e;
        e.name = a.name.empty() ? "(unnamed)" : a.name;
        e.checkable = true;
        const ActionID id = a.id;
        e.run = [id] { hostcore::DoMenuAction(id); };
        e.state = [id](MenuState* s) {
            int16 state = 0;
            PMString name;
            hostcore::QueryActionState(id, &state, &name);
            s->enabled = (state & kEnabledAction) != 0;
            s->checked = (state & kSelectedAction) != 0;
            s->name = name.GetUTF8String();
        };
        actionItems_[id] = menus_->Add(a.menu.empty() ? kPlugInMenuFallback : a.menu, e);
    }
}

GtkWidget* LayoutWindow::ActionItem(ActionID id) const {
    auto it = actionItems_.find(id);
    return it == actionItems_.end() ? nullptr : it->second;
}

cairo_surface_t* LayoutWindow::Picture() {
    GtkAllocation a;
    gtk_widget_get_allocation(window_, &a);
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(a.width, 1),
                                                      std::max(a.height, 1));
    cairo_t* cr = cairo_create(out);
    gtk_widget_draw(window_, cr);
    cairo_destroy(cr);
    cairo_surface_flush(out);
    return out;
}

// ---- 2. refreshing after changes ------------------------------------------------------

void LayoutWindow::ScheduleRefresh() {
    // Before the loop lays out and paints, and once for many changes.
    if (!refreshSource_)
        refreshSource_ = g_idle_add_full(G_PRIORITY_HIGH_IDLE, OnRefresh, this, nullptr);
}

gboolean LayoutWindow::OnRefresh(gpointer data) {
    auto* self = static_cast<LayoutWindow*>(data);
    self->refreshSource_ = 0;
    self->view_->Refresh();
    self->UpdateTitleAndStatus();
    return G_SOURCE_REMOVE;
}

void LayoutWindow::UpdateTitleAndStatus() {
    const std::string title = (docPath_.empty() ? std::string("Untitled") : FileName(docPath_)) +
                              (Modified() ? " *" : "") + " - glyphoria-host";
    gtk_window_set_title(GTK_WINDOW(window_), title.c_str());
    char zoom[32];
    std::snprintf(zoom, sizeof zoom, "%g%%", std::round(view_->Zoom() * 1000) / 10);
    std::string status = "Spread " + std::to_string(view_->Spread() + 1) + " of " +
                         std::to_string(view_->SpreadCount()) + "   " + zoom + "   ";
    if (hostcore::SelectedStory() != kInvalidUID) {
        status += "text selected";
    } else {
        const size_t n = hostcore::SelectedItems().size();
        status += n == 0 ? "nothing selected" : std::to_string(n) + " selected";
    }
    gtk_label_set_text(GTK_LABEL(status_), status.c_str());
}

gboolean LayoutWindow::OnIdleTick(gpointer) {
    hostcore::RunIdleTasks();
    return G_SOURCE_CONTINUE;
}

void LayoutWindow::SelectAll() {
    if (hostcore::Document* doc = Front())
        hostcore::SelectItems(SelectableItems(doc->Model(), view_->Spread()));
}

void LayoutWindow::Undo() {
    if (hostcore::Document* doc = Front()) doc->Undo();
}

void LayoutWindow::Redo() {
    if (hostcore::Document* doc = Front()) doc->Redo();
}

bool LayoutWindow::SetZoom(double zoom) {
    if (!view_->SetZoom(zoom)) return false;
    UpdateTitleAndStatus();
    return true;
}

void LayoutWindow::ZoomBy(double steps) {
    const double now = view_->Zoom();
    if (steps > 0) {
        for (double z : kZoomSteps)
            if (z > now * 1.001 && SetZoom(z)) return;
    } else {
        for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
            if (*it < now * 0.999 && SetZoom(*it)) return;
    }
}

// ---- 3. keys ------------------------------------------------------------------------------

gboolean LayoutWindow::OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    return static_cast<LayoutWindow*>(data)->HandleKey(event) ? TRUE : FALSE;
}

bool LayoutWindow::HandleKey(const GdkEventKey* event) {
    if (IsModalDialogStateHeld()) return true;
    const guint mods = event->state & (GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK |
                                       GDK_SUPER_MASK | GDK_META_MASK);
    const guint key = gdk_keyval_to_lower(event->keyval);
    if ((mods & GDK_CONTROL_MASK) && !(mods & (GDK_MOD1_MASK | GDK_SUPER_MASK | GDK_META_MASK))) {
        const bool shift = (mods & GDK_SHIFT_MASK) != 0;
        switch (key) {
            case GDK_KEY_z:
                shift ? Redo() : Undo();
                return true;
            case GDK_KEY_o:
                OpenAsked();
                return true;
            case GDK_KEY_s:
                SaveAsked(shift);
                return true;
            case GDK_KEY_w:
                if (MayLoseChanges("closing")) EndSession();
                return true;
            case GDK_KEY_a:
                if (shift)
                    hostcore::ClearSelection();
                else
                    SelectAll();
                return true;
            case GDK_KEY_plus:
            case GDK_KEY_equal:
            case GDK_KEY_KP_Add:
                ZoomBy(1);
                return true;
            case GDK_KEY_minus:
            case GDK_KEY_KP_Subtract:
                ZoomBy(-1);
                return true;
            case GDK_KEY_0:
            case GDK_KEY_KP_0:
                SetZoom(1);
                return true;
            default:
                return false;
        }
    }
    if (mods & ~guint(GDK_SHIFT_MASK)) return false;
    if (event->keyval == GDK_KEY_Page_Up || event->keyval == GDK_KEY_Page_Down) {
        view_->SetSpread(view_->Spread() + (event->keyval == GDK_KEY_Page_Up ? -1 : 1));
        UpdateTitleAndStatus();
        return true;
    }
    return PlugInShortcut(event->keyval);
}

bool LayoutWindow::PlugInShortcut(guint keyval) {
    const gunichar c = gdk_keyval_to_unicode(keyval);
    if (!c) return false;
    for (gunichar k : {c, g_unichar_toupper(c), g_unichar_tolower(c)}) {
        for (int32 m : kOneKeyModifiers) {
            const ActionID id = hostcore::ActionForKey(k, m);
            if (id) {
                hostcore::DoMenuAction(id);
                return true;
            }
        }
    }
    return false;
}

// ---- 4. documents ----------------------------------------------------------------------------

void LayoutWindow::MarkSaved() {
    hostcore::Document* doc = Front();
    savedDoc_ = doc;
    savedModel_ = doc ? doc->Model() : hostcore::DocModel();
    checkedRevision_ = doc ? doc->Revision() : 0;
    modified_ = false;
}

bool LayoutWindow::Modified() {
    hostcore::Document* doc = Front();
    if (!doc) return false;
    if (doc != savedDoc_) return true;
    // A comparison only when the model may have moved since the last one.
    if (doc->Revision() != checkedRevision_) {
        checkedRevision_ = doc->Revision();
        modified_ = doc->Model() != savedModel_;
    }
    return modified_;
}

bool LayoutWindow::OpenDocumentFile(const std::string& path, std::string* error) {
    hostcore::DocModel model;
    if (!hostapp::LoadDocumentFile(path, &model, error)) return false;
    if (hostcore::Document* old = Front()) hostcore::CloseDocument(old);
    hostcore::OpenDocument(std::move(model));
    docPath_ = path;
    MarkSaved();
    view_->SetSpread(0);
    UpdateTitleAndStatus();
    return true;
}

bool LayoutWindow::SaveDocumentFile(const std::string& path, std::string* error) {
    hostcore::Document* doc = Front();
    if (!doc) {
        *error = "no document is open";
        return false;
    }
    if (!hostapp::SaveDocumentFile(path, doc->Model(), error)) return false;
    docPath_ = path;
    MarkSaved();
    UpdateTitleAndStatus();
    return true;
}

namespace {

void ShowError(GtkWindow* parent, const std::string& text) {
    AcquireModalDialogState modal;
    GtkWidget* d = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                          GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_dialog_run(GTK_DIALOG(d));
    gtk_widget_destroy(d);
}

// The chosen file, "" when the person cancelled.
std::string ChooseFile(GtkWindow* parent, bool save, const std::string& current) {
    AcquireModalDialogState modal;
    GtkWidget* d = gtk_file_chooser_dialog_new(
        save ? "Save Document" : "Open Document", parent,
        save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
        GTK_RESPONSE_CANCEL, save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, "Documents (*.json)");
    gtk_file_filter_add_pattern(filter, "*.json");
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(d), filter);
    if (save) {
        gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(d), TRUE);
        if (!current.empty()) gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(d), current.c_str());
    }
    std::string chosen;
    if (gtk_dialog_run(GTK_DIALOG(d)) == GTK_RESPONSE_ACCEPT) {
        gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(d));
        if (name) chosen = name;
        g_free(name);
    }
    gtk_widget_destroy(d);
    return chosen;
}

}  // namespace

void LayoutWindow::OpenAsked() {
    if (!MayLoseChanges("opening another document")) return;
    const std::string path = ChooseFile(Window(), false, "");
    std::string error;
    if (!path.empty() && !OpenDocumentFile(path, &error)) ShowError(Window(), path + ": " + error);
}

void LayoutWindow::SaveAsked(bool choose) {
    std::string path = docPath_;
    if (choose || path.empty()) path = ChooseFile(Window(), true, docPath_);
    std::string error;
    if (!path.empty() && !SaveDocumentFile(path, &error)) ShowError(Window(), error);
}

bool LayoutWindow::MayLoseChanges(const char* doing) {
    if (!Modified()) return true;
    int answer;
    {
        AcquireModalDialogState modal;
        GtkWidget* d = gtk_message_dialog_new(Window(), GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION,
                                              GTK_BUTTONS_NONE, "Save the changes to %s before %s?",
                                              FileName(docPath_).c_str(), doing);
        gtk_dialog_add_buttons(GTK_DIALOG(d), "Do_n't Save", GTK_RESPONSE_REJECT, "_Cancel",
                               GTK_RESPONSE_CANCEL, "_Save", GTK_RESPONSE_ACCEPT, nullptr);
        gtk_dialog_set_default_response(GTK_DIALOG(d), GTK_RESPONSE_ACCEPT);
        answer = gtk_dialog_run(GTK_DIALOG(d));
        gtk_widget_destroy(d);
    }
    if (answer == GTK_RESPONSE_REJECT) return true;
    if (answer != GTK_RESPONSE_ACCEPT) return false;
    SaveAsked(false);
    return !Modified();
}

// ---- 5. closing ------------------------------------------------------------------------------

gboolean LayoutWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    auto* self = static_cast<LayoutWindow*>(data);
    if (!IsModalDialogStateHeld() && self->MayLoseChanges("closing")) self->EndSession();
    return TRUE;  // the window stays until its owner destroys it
}

void LayoutWindow::Close() {
    EndSession();
}

void LayoutWindow::EndSession() {
    if (closed_) return;
    closed_ = true;
    if (idleSource_) g_source_remove(idleSource_);
    idleSource_ = 0;
    gtk_widget_hide(window_);
    hostcore::ShutdownPlugIns();
    if (onClose_) onClose_();
}

}  // namespace hostwindow
