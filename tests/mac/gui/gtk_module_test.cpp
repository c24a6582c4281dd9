// The Mac form's cases on GTK with the real web engine (label gui).
#include "tests/common/gui_display.h"
#include "tests/mac/module/mac_module_cases.h"

namespace glyphoria::mac {

struct GtkSeamChoice {
    static bool Prepare() {
        static const bool up = glyphoria::testing::OpenGuiDisplay();
        return up;
    }
    static constexpr bool kOnScreen = true;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Gtk, MacModuleCases, GtkSeamChoice);

}  // namespace glyphoria::mac
