// The picture renderer of a build without cairo: every request fails with a
// message that says so.
#include "host/app/render.h"

namespace hostapp {

bool RenderSpreadToPng(const hostcore::DocModel&, const RenderOptions&, const std::string&,
                       std::string* error) {
    if (error) *error = "rendering to PNG is not available in this build";
    return false;
}

}  // namespace hostapp
