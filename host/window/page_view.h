// The layout window's page: the front document's spread as the host's own
// renderer draws it (the same pixels --render writes, at the window's zoom),
// on a grey pasteboard, with the selection marked. A person's pointer
// selects: a click takes the item under it, Shift+click adds or removes it,
// a dragged rectangle takes every item it touches (with Shift, adds them),
// a click on nothing clears the selection. Nothing reacts while a plug-in
// holds the modal-dialog state.
//
// The rendered spread is kept until the document, its revision, the spread
// or the zoom change, so scrolling and selecting do not render text again.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "host/core/model.h"

namespace hostwindow {

class PageView {
  public:
    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 8;

    PageView();
    ~PageView();
    PageView(const PageView&) = delete;
    PageView& operator=(const PageView&) = delete;

    // A drawing area; the window places it in a scrolled area.
    GtkWidget* Widget() const { return area_; }

    double Zoom() const { return zoom_; }
    // false (nothing changes) outside kMinZoom..kMaxZoom or when the spread
    // would be too big a picture at that zoom.
    bool SetZoom(double zoom);
    int Spread() const { return spread_; }
    int SpreadCount() const;
    // Kept within the document's spreads.
    void SetSpread(int spread);

    // The host changed what is shown: size and picture are brought up to
    // date and the page is drawn again.
    void Refresh();

    // The page as the view draws it (spread and marks, without pasteboard
    // or scrolling): an ARGB32 surface the caller destroys; nil with *error
    // set without a document or spread.
    cairo_surface_t* PagePicture(std::string* error);
    // Where a pasteboard point is drawn in the widget; false without a spread.
    bool WidgetPoint(const PMPoint& point, double* x, double* y) const;

    // The pointer's work, in widget coordinates.
    void Click(double x, double y, bool extend);
    void Drag(double x0, double y0, double x1, double y1, bool extend);

  private:
    static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    static gboolean OnPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
    static gboolean OnRelease(GtkWidget* widget, GdkEventButton* event, gpointer self);

    // The rendered spread, nil without one (*error says why).
    cairo_surface_t* PageImage(std::string* error);
    void DropImage();
    void PageOrigin(double* x, double* y) const;
    // The shown spread and where its top left corner is in the widget.
    bool Placement(const hostcore::Node** spread, double* x, double* y) const;
    void DrawMarks(cairo_t* cr) const;
    bool ToPasteboard(double x, double y, PMPoint* point) const;

    GtkWidget* area_;
    double zoom_ = 1;
    int spread_ = 0;

    cairo_surface_t* image_ = nullptr;
    const void* imageDoc_ = nullptr;
    unsigned long long imageRevision_ = 0;
    int imageSpread_ = -1;
    double imageZoom_ = 0;

    bool pressed_ = false, dragging_ = false, extend_ = false;
    double pressX_ = 0, pressY_ = 0, pointerX_ = 0, pointerY_ = 0;
};

}  // namespace hostwindow
