#include "testing/shop/text_renderer.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <memory>

#include "testing/shop/line_breaker.h"

namespace glyphoria::testing::shop {

namespace {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct FaceDeleter {
    void operator()(cairo_font_face_t* f) const { cairo_font_face_destroy(f); }
};

// A face for exactly this file: with FC_FILE set, cairo opens the file itself
// instead of asking fontconfig for a substitute.
std::unique_ptr<cairo_font_face_t, FaceDeleter> FaceForFile(const std::string& path) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(path.c_str()));
    FcPatternAddInteger(pattern, FC_INDEX, 0);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
    FcPatternDestroy(pattern);
    return std::unique_ptr<cairo_font_face_t, FaceDeleter>(face);
}

cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

void PaintBackground(cairo_t* cr, const Colour& background) {
    if (background.alpha <= 0) return;  // a new image surface is already clear
    cairo_set_source_rgb(cr, background.red, background.green, background.blue);
    cairo_paint(cr);
}

void DrawLines(cairo_t* cr, const RenderRequest& request) {
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    auto measure = [cr](const std::string& text) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.c_str(), &extents);
        return extents.x_advance;
    };
    cairo_set_source_rgb(cr, request.text_colour.red, request.text_colour.green,
                         request.text_colour.blue);
    double baseline = font.ascent;
    for (const std::string& line : BreakLines(request.text, request.width, measure)) {
        if (baseline - font.ascent >= request.height) break;
        cairo_move_to(cr, 0, baseline);
        cairo_show_text(cr, line.c_str());
        baseline += font.height;
    }
}

}  // namespace

std::optional<std::string> RenderSamplePng(const RenderRequest& request,
                                           const std::string& font_path, std::string* error) {
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, request.width, request.height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        *error = "cannot create the image";
        return std::nullopt;
    }
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    PaintBackground(cr.get(), request.background);

    std::unique_ptr<cairo_font_face_t, FaceDeleter> face = FaceForFile(font_path);
    cairo_set_font_face(cr.get(), face.get());
    cairo_set_font_size(cr.get(), request.text_size);
    DrawLines(cr.get(), request);
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        *error = std::string("cannot render the text: ") +
                 cairo_status_to_string(cairo_status(cr.get()));
        return std::nullopt;
    }
    cairo_surface_flush(surface.get());

    std::string png;
    if (cairo_surface_write_to_png_stream(surface.get(), AppendToString, &png) !=
        CAIRO_STATUS_SUCCESS) {
        *error = "cannot encode the image";
        return std::nullopt;
    }
    return png;
}

}  // namespace glyphoria::testing::shop
