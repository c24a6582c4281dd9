// Loading the two window descriptions ("TryController", "BuyController")
// with the controller as owner: the loader hands back the top-level objects
// and the outlets the controllers need. Views named here live as long as the
// window that holds them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mac/seam/web_view.h"
#include "mac/seam/window.h"

namespace glyphoria::mac {

struct TryNib {
    std::unique_ptr<Window> panel;
    WebView* web_view = nullptr;
    // Descriptions of the top-level objects, for the log.
    std::vector<std::string> top_level_objects;
};

struct BuyNib {
    std::unique_ptr<Window> panel;
    WebView* web_view = nullptr;
    std::unique_ptr<Window> progress_sheet;
    ViewNode* progress_bar = nullptr;   // in the sheet
    ViewNode* cancel_button = nullptr;  // in the sheet
    ViewNode* install_button = nullptr;
    ViewNode* folder_field = nullptr;
    ViewNode* choose_button = nullptr;
    ViewNode* show_button = nullptr;
    ViewNode* close_button = nullptr;
};

class NibLoader {
  public:
    virtual ~NibLoader() = default;
    // False when the description cannot be loaded or lacks an outlet.
    virtual bool loadTryController(TryNib* nib) = 0;
    virtual bool loadBuyController(BuyNib* nib) = 0;
};

}  // namespace glyphoria::mac
