// Frames compared as a designer sees them, across documents or across
// versions of one: kind (text, picture, empty), name, labels, fill, box
// before rotation and shear, rotation, shear, and for text every character
// with its point size, font family and style and colour, the story's end
// marker included; for a picture its pixel size. UIDs of the frames and
// their parts are not compared (a restored frame is a new one), swatches and
// font families by name.
//
// Each difference is one phrase ("name \"a\" instead of \"b\"", "point size
// 12 instead of 13 at character 5", ...); none means the frames are the same.
#pragma once

#include <string>
#include <vector>

#include "host/core/model.h"

namespace hostapp {

std::vector<std::string> FrameDifferences(const hostcore::DocModel& expected, UID expected_frame,
                                          const hostcore::DocModel& actual, UID actual_frame);

// Every frame of expected against the frames of actual, whatever their order
// in the layout (a try and a restore bring a frame to the front): each
// expected frame needs an equal one of its own in actual, and actual may have
// no others. A frame without an equal is named with its differences from the
// frame of the same name (or, unnamed, the same box), if there is one.
std::vector<std::string> DocumentFrameDifferences(const hostcore::DocModel& expected,
                                                  const hostcore::DocModel& actual);

}  // namespace hostapp
