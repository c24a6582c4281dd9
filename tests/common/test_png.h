// A small, valid PNG for tests that place pictures: a grey rectangle of the
// given size, written whole to `path` (which is returned).
#pragma once

#include <string>

namespace glyphoria::testing {

std::string WriteGreyPng(const std::string& path, int width, int height, unsigned char shade);

}  // namespace glyphoria::testing
