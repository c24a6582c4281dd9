// Pictures of a spread, the way people check a try: the paper, every frame
// with its fill, placed pictures (from the bytes kept in the document, or the
// linked file while the link is not embedded) and text in the installed font
// of each run, wrapped at word boundaries inside the frame. Rotation and
// shear are drawn. Empty frames show a thin grey edge.
#pragma once

#include <string>

#include "host/core/model.h"

namespace hostapp {

struct RenderOptions {
    int spread = 0;      // index into the document's spreads
    double scale = 1.0;  // pixels per point
};

// Writes a PNG; false with *error set when the spread does not exist, the
// size is unreasonable or the file cannot be written.
bool RenderSpreadToPng(const hostcore::DocModel& model, const RenderOptions& options,
                       const std::string& path, std::string* error);

}  // namespace hostapp
