// The two window descriptions as GTK windows, with the same views and
// identifiers as the headless ones: the sampler panel (a web view filling
// it), the purchase panel (folder box with field and choose button, install
// check box, the web view, show and close buttons; no close control) and its
// progress sheet (caption, bar, cancel button). Control texts are
// string-table keys, translated when the panel opens. Both panels are of the
// panel class Panel_840.
#pragma once

#include "mac/seam/nib_loader.h"

namespace glyphoria::mac {

class GtkMacNibLoader : public NibLoader {
  public:
    bool loadTryController(TryNib* nib) override;
    bool loadBuyController(BuyNib* nib) override;
};

}  // namespace glyphoria::mac
