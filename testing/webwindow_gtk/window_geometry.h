// The window's size and place as the library keeps them in the plug-in's
// preferences ("prefString"/"setPrefString", key kGeometryKey): four
// integers "x y width height" in screen pixels.
#pragma once

#include <optional>
#include <string>

namespace glyphoria::testing::webwindow_gtk {

constexpr char kGeometryKey[] = "tryWndRect";

struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

std::string FormatRect(const WindowRect& rect);

// Nothing for text that is not exactly four integers, or whose size is
// below kMinSide or above kMaxSide pixels, or whose corner lies further than
// kMaxSide from the origin: a damaged value must not make a window nobody
// can see or reach.
std::optional<WindowRect> ParseRect(const std::string& text);

constexpr int kMinSide = 200;
constexpr int kMaxSide = 16000;

}  // namespace glyphoria::testing::webwindow_gtk
