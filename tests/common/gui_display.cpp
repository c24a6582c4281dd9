#include "tests/common/gui_display.h"

#include <gtk/gtk.h>

namespace glyphoria::testing {

bool OpenGuiDisplay() {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (gtk_init_check(nullptr, nullptr)) return true;
        g_usleep(100 * 1000);
    }
    return false;
}

}  // namespace glyphoria::testing
