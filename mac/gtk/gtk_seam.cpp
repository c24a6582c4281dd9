#include "mac/gtk/gtk_seam.h"

namespace glyphoria::mac {

bool GtkSeamUsable() {
    return gdk_display_get_default() != nullptr;
}

}  // namespace glyphoria::mac
