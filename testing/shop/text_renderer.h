// Renders a sampler request into a PNG image.
//
// The image is exactly width x height pixels (ARGB, so a transparent
// background stays transparent). The text is set from the top left corner in
// the given font file at text_size pixels, broken into lines that fit the
// width (see line_breaker.h); what does not fit the height is cut off.
// Safe to call from several threads at once: cairo owns the font faces.
#pragma once

#include <optional>
#include <string>

#include "testing/shop/render_request.h"

namespace glyphoria::testing::shop {

// The PNG bytes, or nullopt with a reason in *error (the font file cannot be
// used, or cairo cannot make or encode the image).
std::optional<std::string> RenderSamplePng(const RenderRequest& request,
                                           const std::string& font_path, std::string* error);

}  // namespace glyphoria::testing::shop
