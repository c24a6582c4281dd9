#include "host/window/page_view.h"

#include <algorithm>
#include <cmath>

#include "host/app/render_surface.h"
#include "host/core/document.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/session.h"
#include "host/window/page_hits.h"

namespace hostwindow {

using hostcore::DocModel;
using hostcore::Node;

namespace {

constexpr int kMargin = 24;  // pasteboard around the page, in pixels
constexpr double kHandle = 5;

const Node* SpreadNode(const DocModel& m, int spread) {
    if (spread < 0 || spread >= static_cast<int>(m.spreads.size())) return nullptr;
    return m.FindNode(m.spreads[static_cast<size_t>(spread)]);
}

const DocModel* FrontModel() {
    hostcore::Document* doc = hostcore::FrontDocument();
    return doc ? &doc->Model() : nullptr;
}

// The page's size in pixels at a zoom, as the renderer sizes its picture.
bool PageSize(const DocModel& m, int spread, double zoom, int* w, int* h) {
    const Node* s = SpreadNode(m, spread);
    if (!s) return false;
    *w = static_cast<int>(std::ceil(s->box.Width() * zoom));
    *h = static_cast<int>(std::ceil(s->box.Height() * zoom));
    return *w >= 1 && *h >= 1;
}

// The frame that shows a story (the one holding its first column).
UID FrameOfStory(const DocModel& m, UID story) {
    auto s = m.stories.find(story);
    if (s == m.stories.end() || s->second.frames.empty()) return kInvalidUID;
    const Node* column = m.FindNode(s->second.frames[0]);
    const Node* container = column ? m.FindNode(column->parent) : nullptr;
    return container ? container->parent : kInvalidUID;
}

// The item's outline in page pixels, as a path on cr (identity matrix).
void OutlinePath(cairo_t* cr, const Node& spread, const Node& item, double zoom,
                 PMPoint corners[4]) {
    const PMMatrix t = DocModel::InnerToPasteboard(item);
    const PMRect box = DocModel::InnerBox(item);
    const PMPoint inner[4] = {box.LeftTop(), PMPoint(box.Right(), box.Top()), box.RightBottom(),
                              PMPoint(box.Left(), box.Bottom())};
    cairo_new_path(cr);
    for (int i = 0; i < 4; ++i) {
        PMPoint p = t.Transform(inner[i]);
        corners[i] = PMPoint(std::round((p.X() - spread.box.Left()) * zoom) + 0.5,
                             std::round((p.Y() - spread.box.Top()) * zoom) + 0.5);
        cairo_line_to(cr, corners[i].X(), corners[i].Y());
    }
    cairo_close_path(cr);
}

}  // namespace

PageView::PageView() : area_(gtk_drawing_area_new()) {
    g_object_ref_sink(area_);
    gtk_widget_add_events(
        area_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_BUTTON1_MOTION_MASK);
    g_signal_connect(area_, "draw", G_CALLBACK(OnDraw), this);
    g_signal_connect(area_, "button-press-event", G_CALLBACK(OnPress), this);
    g_signal_connect(area_, "motion-notify-event", G_CALLBACK(OnMotion), this);
    g_signal_connect(area_, "button-release-event", G_CALLBACK(OnRelease), this);
    Refresh();
}

PageView::~PageView() {
    g_signal_handlers_disconnect_by_data(area_, this);
    g_object_unref(area_);
    DropImage();
}

bool PageView::SetZoom(double zoom) {
    if (!(zoom >= kMinZoom && zoom <= kMaxZoom)) return false;
    if (const DocModel* m = FrontModel()) {
        const Node* s = SpreadNode(*m, spread_);
        if (s && (s->box.Width() * zoom > hostapp::kMaxPicturePixels ||
                  s->box.Height() * zoom > hostapp::kMaxPicturePixels))
            return false;
    }
    zoom_ = zoom;
    Refresh();
    return true;
}

int PageView::SpreadCount() const {
    const DocModel* m = FrontModel();
    return m ? static_cast<int>(m->spreads.size()) : 0;
}

void PageView::SetSpread(int spread) {
    spread_ = std::max(0, std::min(spread, SpreadCount() - 1));
    Refresh();
}

void PageView::Refresh() {
    if (spread_ >= SpreadCount()) spread_ = std::max(0, SpreadCount() - 1);
    int w = 0, h = 0;
    const DocModel* m = FrontModel();
    if (!m || !PageSize(*m, spread_, zoom_, &w, &h)) w = h = 0;
    gtk_widget_set_size_request(area_, w + 2 * kMargin, h + 2 * kMargin);
    gtk_widget_queue_draw(area_);
}

void PageView::DropImage() {
    if (image_) cairo_surface_destroy(image_);
    image_ = nullptr;
    imageDoc_ = nullptr;
}

cairo_surface_t* PageView::PageImage(std::string* error) {
    hostcore::Document* doc = hostcore::FrontDocument();
    if (!doc) {
        DropImage();
        *error = "no document is open";
        return nullptr;
    }
    if (image_ && imageDoc_ == doc && imageRevision_ == doc->Revision() &&
        imageSpread_ == spread_ && imageZoom_ == zoom_)
        return image_;
    DropImage();
    hostapp::RenderOptions options;
    options.spread = spread_;
    options.scale = zoom_;
    image_ = hostapp::RenderSpreadToSurface(doc->Model(), options, error);
    if (image_) {
        imageDoc_ = doc;
        imageRevision_ = doc->Revision();
        imageSpread_ = spread_;
        imageZoom_ = zoom_;
    }
    return image_;
}

void PageView::PageOrigin(double* x, double* y) const {
    int w = 0, h = 0;
    const DocModel* m = FrontModel();
    if (m) PageSize(*m, spread_, zoom_, &w, &h);
    const int aw = gtk_widget_get_allocated_width(area_);
    const int ah = gtk_widget_get_allocated_height(area_);
    // Whole pixels, so the page's pixels land on the screen's unchanged.
    *x = std::max(kMargin, (aw - w) / 2);
    *y = std::max(kMargin, (ah - h) / 2);
}

void PageView::DrawMarks(cairo_t* cr) const {
    const DocModel* m = FrontModel();
    const Node* spread = m ? SpreadNode(*m, spread_) : nullptr;
    if (!spread) return;
    const std::vector<UID> items = SelectableItems(*m, spread_);
    auto onSpread = [&](UID u) { return std::find(items.begin(), items.end(), u) != items.end(); };
    cairo_save(cr);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgb(cr, 0.1, 0.45, 0.95);
    PMPoint corners[4];
    for (UID u : hostcore::SelectedItems()) {
        if (!onSpread(u)) continue;
        OutlinePath(cr, *spread, *m->FindNode(u), zoom_, corners);
        cairo_stroke(cr);
        for (const PMPoint& c : corners)
            cairo_rectangle(cr, c.X() - kHandle / 2, c.Y() - kHandle / 2, kHandle, kHandle);
        cairo_fill(cr);
    }
    const UID textFrame = FrameOfStory(*m, hostcore::SelectedStory());
    if (textFrame != kInvalidUID && onSpread(textFrame)) {
        const double dash = 4;
        cairo_set_dash(cr, &dash, 1, 0);
        OutlinePath(cr, *spread, *m->FindNode(textFrame), zoom_, corners);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

gboolean PageView::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
    auto* self = static_cast<PageView*>(data);
    cairo_set_source_rgb(cr, 0.78, 0.78, 0.8);
    cairo_paint(cr);
    std::string error;
    cairo_surface_t* image = self->PageImage(&error);
    if (!image) {
        cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
        cairo_move_to(cr, kMargin, kMargin + 12);
        cairo_show_text(cr, error.c_str());
        return FALSE;
    }
    double x, y;
    self->PageOrigin(&x, &y);
    const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
    cairo_rectangle(cr, x + 3, y + 3, w, h);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    self->DrawMarks(cr);
    cairo_restore(cr);
    if (self->dragging_) {
        const double l = std::min(self->pressX_, self->pointerX_);
        const double t = std::min(self->pressY_, self->pointerY_);
        cairo_rectangle(cr, std::floor(l) + 0.5, std::floor(t) + 0.5,
                        std::floor(std::fabs(self->pointerX_ - self->pressX_)),
                        std::floor(std::fabs(self->pointerY_ - self->pressY_)));
        cairo_set_source_rgba(cr, 0.1, 0.45, 0.95, 0.15);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.1, 0.45, 0.95);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    (void)widget;
    return FALSE;
}

cairo_surface_t* PageView::PagePicture(std::string* error) {
    cairo_surface_t* image = PageImage(error);
    if (!image) return nullptr;
    const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(out);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_paint(cr);
    DrawMarks(cr);
    cairo_destroy(cr);
    cairo_surface_flush(out);
    return out;
}

bool PageView::Placement(const Node** spread, double* x, double* y) const {
    const DocModel* m = FrontModel();
    *spread = m ? SpreadNode(*m, spread_) : nullptr;
    if (*spread) PageOrigin(x, y);
    return *spread != nullptr;
}

bool PageView::ToPasteboard(double x, double y, PMPoint* point) const {
    const Node* spread;
    double ox, oy;
    if (!Placement(&spread, &ox, &oy)) return false;
    *point = PMPoint((x - ox) / zoom_ + spread->box.Left(), (y - oy) / zoom_ + spread->box.Top());
    return true;
}

bool PageView::WidgetPoint(const PMPoint& point, double* x, double* y) const {
    const Node* spread;
    double ox, oy;
    if (!Placement(&spread, &ox, &oy)) return false;
    *x = ox + (point.X() - spread->box.Left()) * zoom_;
    *y = oy + (point.Y() - spread->box.Top()) * zoom_;
    return true;
}

void PageView::Click(double x, double y, bool extend) {
    const DocModel* m = FrontModel();
    PMPoint p;
    if (!m || !ToPasteboard(x, y, &p)) return;
    const UID hit = ItemAt(*m, spread_, p);
    if (hit == kInvalidUID) {
        if (!extend) hostcore::ClearSelection();
        return;
    }
    if (!extend) {
        hostcore::SelectItems({hit});
        return;
    }
    std::vector<UID> selected = hostcore::SelectedItems();
    auto it = std::find(selected.begin(), selected.end(), hit);
    if (it == selected.end()) {
        hostcore::AddToSelection({hit});
        return;
    }
    selected.erase(it);
    if (selected.empty())
        hostcore::ClearSelection();
    else
        hostcore::SelectItems(selected);
}

void PageView::Drag(double x0, double y0, double x1, double y1, bool extend) {
    const DocModel* m = FrontModel();
    PMPoint a, b;
    if (!m || !ToPasteboard(x0, y0, &a) || !ToPasteboard(x1, y1, &b)) return;
    const std::vector<UID> touched = ItemsTouching(*m, spread_, PMRect(a, b));
    if (extend)
        hostcore::AddToSelection(touched);
    else if (touched.empty())
        hostcore::ClearSelection();
    else
        hostcore::SelectItems(touched);
}

gboolean PageView::OnPress(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<PageView*>(data);
    if (event->button != GDK_BUTTON_PRIMARY || event->type != GDK_BUTTON_PRESS ||
        IsModalDialogStateHeld())
        return FALSE;
    self->pressed_ = true;
    self->dragging_ = false;
    self->extend_ = (event->state & GDK_SHIFT_MASK) != 0;
    self->pressX_ = self->pointerX_ = event->x;
    self->pressY_ = self->pointerY_ = event->y;
    return TRUE;
}

gboolean PageView::OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer data) {
    auto* self = static_cast<PageView*>(data);
    if (!self->pressed_) return FALSE;
    self->pointerX_ = event->x;
    self->pointerY_ = event->y;
    if (!self->dragging_)
        self->dragging_ = gtk_drag_check_threshold(
            widget, static_cast<int>(self->pressX_), static_cast<int>(self->pressY_),
            static_cast<int>(event->x), static_cast<int>(event->y));
    if (self->dragging_) gtk_widget_queue_draw(widget);
    return TRUE;
}

gboolean PageView::OnRelease(GtkWidget* widget, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<PageView*>(data);
    if (!self->pressed_ || event->button != GDK_BUTTON_PRIMARY) return FALSE;
    self->pressed_ = false;
    const bool dragged = self->dragging_;
    self->dragging_ = false;
    gtk_widget_queue_draw(widget);
    if (IsModalDialogStateHeld()) return TRUE;
    if (dragged)
        self->Drag(self->pressX_, self->pressY_, event->x, event->y, self->extend_);
    else
        self->Click(event->x, event->y, self->extend_);
    return TRUE;
}

}  // namespace hostwindow
