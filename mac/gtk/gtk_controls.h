// A window's view tree as GTK widgets: each control node is bound to its
// widget, and the two are kept the same. What the user changes (a text
// typed into the field, the check box ticked, a button clicked) reaches the
// node at once; what the controllers change in the nodes (a text, a state,
// the progress bar's value, a view disabled) reaches the widgets before the
// main loop next waits, from a source whose preparation compares each node
// with what its widget shows.
//
// Buttons run the node's action when clicked; check boxes update the state
// and then run it. A node that is not enabled makes its widget insensitive.
// The bindings hold references to the widgets and live as long as the
// window; the nodes belong to the window's view tree.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "mac/seam/view_tree.h"

namespace glyphoria::mac {

class GtkControls {
  public:
    GtkControls();
    ~GtkControls();
    GtkControls(const GtkControls&) = delete;
    GtkControls& operator=(const GtkControls&) = delete;

    // Binds node to widget by the node's kind: a button (GtkButton), a check
    // box (GtkCheckButton), a text field (GtkEntry, or a GtkLabel for a
    // caption), a box (GtkFrame), a progress indicator (GtkProgressBar),
    // any other (sensitivity only). Returns the widget.
    GtkWidget* bind(ViewNode& node, GtkWidget* widget);
    // The widget bound to the node of that identifier, or null.
    GtkWidget* widgetFor(const std::string& identifier) const;
    // Nodes to widgets now (also done before the loop waits).
    void sync();

  private:
    struct Binding {
        ViewNode* node;
        GtkWidget* widget;
        std::string shown_text;
        int shown_state = -1;
        double shown_fraction = -1;
        int shown_sensitive = -1;
    };
    static void OnClicked(GtkButton* button, gpointer self);
    static void OnToggled(GtkToggleButton* button, gpointer self);
    static void OnChanged(GtkEditable* editable, gpointer self);
    Binding* find(GtkWidget* widget);
    void syncOne(Binding& b);

    std::vector<Binding> bindings_;
    GSource* source_ = nullptr;
    bool updating_ = false;
};

}  // namespace glyphoria::mac
