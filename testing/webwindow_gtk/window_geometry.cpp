#include "testing/webwindow_gtk/window_geometry.h"

#include <cstdlib>
#include <sstream>

namespace glyphoria::testing::webwindow_gtk {

std::string FormatRect(const WindowRect& rect) {
    std::ostringstream out;
    out << rect.x << ' ' << rect.y << ' ' << rect.width << ' ' << rect.height;
    return out.str();
}

std::optional<WindowRect> ParseRect(const std::string& text) {
    std::istringstream in(text);
    WindowRect rect;
    if (!(in >> rect.x >> rect.y >> rect.width >> rect.height)) return std::nullopt;
    in >> std::ws;
    if (!in.eof()) return std::nullopt;
    auto side_ok = [](int side) { return side >= kMinSide && side <= kMaxSide; };
    if (!side_ok(rect.width) || !side_ok(rect.height)) return std::nullopt;
    if (std::abs(rect.x) > kMaxSide || std::abs(rect.y) > kMaxSide) return std::nullopt;
    return rect;
}

}  // namespace glyphoria::testing::webwindow_gtk
