// The spread as pixels in memory, for a program that shows them (the layout
// window): the very pixels RenderSpreadToPng writes, so what a window shows
// and what --render writes agree. Needs cairo; builds without the renderer
// have no such function.
#pragma once

#include <cairo.h>

#include <string>

#include "host/app/render.h"

namespace hostapp {

// Pictures are at most this many pixels wide and high.
constexpr double kMaxPicturePixels = 16384;

// An opaque ARGB32 image surface the caller owns (cairo_surface_destroy);
// nil with *error set when the spread does not exist or the size is
// unreasonable.
cairo_surface_t* RenderSpreadToSurface(const hostcore::DocModel& model,
                                       const RenderOptions& options, std::string* error);

}  // namespace hostapp
