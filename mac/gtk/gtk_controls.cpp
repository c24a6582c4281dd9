#include "mac/gtk/gtk_controls.h"

namespace glyphoria::mac {

namespace {

// A source that never fires: its preparation brings the widgets up to date
// each time the main loop is about to wait.
struct SyncSource {
    GSource source;
    GtkControls* controls;
};

gboolean Prepare(GSource* source, gint* timeout) {
    *timeout = -1;
    reinterpret_cast<SyncSource*>(source)->controls->sync();
    return FALSE;
}

gboolean Dispatch(GSource*, GSourceFunc, gpointer) {
    return G_SOURCE_CONTINUE;
}

GSourceFuncs kSyncFuncs = {&Prepare, nullptr, &Dispatch, nullptr, nullptr, nullptr};

double Fraction(const ViewNode& node) {
    if (node.indeterminate || node.max_value <= node.min_value) return 0;
    const double f = (node.value - node.min_value) / (node.max_value - node.min_value);
    return f < 0 ? 0 : f > 1 ? 1 : f;
}

}  // namespace

GtkControls::GtkControls() {
    source_ = g_source_new(&kSyncFuncs, sizeof(SyncSource));
    reinterpret_cast<SyncSource*>(source_)->controls = this;
    g_source_attach(source_, nullptr);
}

GtkControls::~GtkControls() {
    g_source_destroy(source_);
    g_source_unref(source_);
    for (Binding& b : bindings_) {
        g_signal_handlers_disconnect_by_data(b.widget, this);
        g_object_unref(b.widget);
    }
}

GtkWidget* GtkControls::bind(ViewNode& node, GtkWidget* widget) {
    g_object_ref_sink(widget);
    bindings_.push_back({&node, widget});
    if (GTK_IS_CHECK_BUTTON(widget))
        g_signal_connect(widget, "toggled", G_CALLBACK(&GtkControls::OnToggled), this);
    else if (GTK_IS_BUTTON(widget))
        g_signal_connect(widget, "clicked", G_CALLBACK(&GtkControls::OnClicked), this);
    else if (GTK_IS_ENTRY(widget))
        g_signal_connect(widget, "changed", G_CALLBACK(&GtkControls::OnChanged), this);
    syncOne(bindings_.back());
    return widget;
}

GtkWidget* GtkControls::widgetFor(const std::string& identifier) const {
    for (const Binding& b : bindings_)
        if (b.node->identifier == identifier) return b.widget;
    return nullptr;
}

GtkControls::Binding* GtkControls::find(GtkWidget* widget) {
    for (Binding& b : bindings_)
        if (b.widget == widget) return &b;
    return nullptr;
}

void GtkControls::OnClicked(GtkButton* button, gpointer self) {
    auto* controls = static_cast<GtkControls*>(self);
    Binding* b = controls->find(GTK_WIDGET(button));
    // The action may take the window and these bindings away: nothing of them is used after.
    if (b) b->node->Click();
}

void GtkControls::OnToggled(GtkToggleButton* button, gpointer self) {
    auto* controls = static_cast<GtkControls*>(self);
    Binding* b = controls->find(GTK_WIDGET(button));
    if (!b || controls->updating_) return;
    b->node->state = gtk_toggle_button_get_active(button) ? 1 : 0;
    b->shown_state = b->node->state;
    b->node->Click();
}

void GtkControls::OnChanged(GtkEditable* editable, gpointer self) {
    auto* controls = static_cast<GtkControls*>(self);
    Binding* b = controls->find(GTK_WIDGET(editable));
    if (!b || controls->updating_) return;
    b->node->text = gtk_entry_get_text(GTK_ENTRY(editable));
    b->shown_text = b->node->text;
}

void GtkControls::sync() {
    for (Binding& b : bindings_)
        syncOne(b);
}

void GtkControls::syncOne(Binding& b) {
    updating_ = true;
    const ViewNode& node = *b.node;
    GtkWidget* w = b.widget;
    if (node.text != b.shown_text) {
        b.shown_text = node.text;
        if (GTK_IS_ENTRY(w))
            gtk_entry_set_text(GTK_ENTRY(w), node.text.c_str());
        else if (GTK_IS_BUTTON(w))
            gtk_button_set_label(GTK_BUTTON(w), node.text.c_str());
        else if (GTK_IS_LABEL(w))
            gtk_label_set_text(GTK_LABEL(w), node.text.c_str());
        else if (GTK_IS_FRAME(w))
            gtk_frame_set_label(GTK_FRAME(w), node.text.c_str());
    }
    if (GTK_IS_CHECK_BUTTON(w) && node.state != b.shown_state) {
        b.shown_state = node.state;
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w), node.state != 0);
    }
    if (GTK_IS_PROGRESS_BAR(w)) {
        const double fraction = node.indeterminate ? -2 : Fraction(node);
        if (fraction != b.shown_fraction) {
            b.shown_fraction = fraction;
            if (node.indeterminate)
                gtk_progress_bar_pulse(GTK_PROGRESS_BAR(w));
            else
                gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(w), fraction);
        }
    }
    const int sensitive = node.enabled ? 1 : 0;
    if (sensitive != b.shown_sensitive) {
        b.shown_sensitive = sensitive;
        gtk_widget_set_sensitive(w, sensitive);
    }
    updating_ = false;
}

}  // namespace glyphoria::mac
