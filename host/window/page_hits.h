// Which page items a person's pointer means on a spread: the items right
// below the spread's layers (a click on a picture inside a frame selects the
// frame), the topmost one under a point, and those a dragged rectangle
// touches. Rotated and sheared items are hit by their real outline, not by
// the box around it. Points and rectangles are pasteboard coordinates. No
// window system here.
#pragma once

#include <vector>

#include "host/core/model.h"

namespace hostwindow {

// In drawing order (the last drawn is on top); empty for a spread that does
// not exist.
std::vector<UID> SelectableItems(const hostcore::DocModel& m, int spread);
// The topmost item whose outline holds the point; kInvalidUID for none.
UID ItemAt(const hostcore::DocModel& m, int spread, const PMPoint& point);
// Items whose outline's bounding box meets the rectangle, in drawing order.
std::vector<UID> ItemsTouching(const hostcore::DocModel& m, int spread, const PMRect& rect);

}  // namespace hostwindow
