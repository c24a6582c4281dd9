// Tests that show real windows (label "gui") need an X display. Under
// scripts/test they run inside `xvfb-run -a` with GLYPHORIA_GUI_TESTS=required,
// and a missing display fails them; run by hand without a display they are
// skipped with the reason, so `ctest --preset linux` stays usable anywhere.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace glyphoria::testing {

inline bool HaveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0';
}

inline bool DisplayRequired() {
    const char* mode = std::getenv("GLYPHORIA_GUI_TESTS");
    return mode != nullptr && std::strcmp(mode, "required") == 0;
}

}  // namespace glyphoria::testing

// First statement of a gui test (or of its fixture's SetUp).
#define GLYPHORIA_REQUIRE_DISPLAY()                                                      \
    do {                                                                                 \
        if (!::glyphoria::testing::HaveDisplay()) {                                      \
            if (::glyphoria::testing::DisplayRequired()) {                               \
                FAIL() << "no X display (DISPLAY is unset): run under xvfb-run -a";      \
            }                                                                            \
            GTEST_SKIP() << "no X display: the gui tests run under xvfb-run -a "         \
                            "(scripts/test does this)";                                  \
        }                                                                                \
    } while (0)
