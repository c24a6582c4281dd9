// The two window descriptions built in code, with the layout the plug-in's
// nibs have: the sampler panel (a web view), the purchase panel (folder box
// with field and choose button, install check box, show and close buttons,
// web view) and its progress sheet (caption, bar, cancel button). Control
// texts are string-table keys, translated when the panel opens. Both panels
// are of the panel class Panel_840; the purchase panel has no close control
// (its modal loop ends by the Close button only).
//
// The loader remembers the windows it built last, so a test can reach them
// while a controller runs.
#pragma once

#include "mac/headless/headless_web_view.h"
#include "mac/headless/headless_window.h"
#include "mac/seam/nib_loader.h"

namespace glyphoria::mac {

class HeadlessNibLoader : public NibLoader {
  public:
    bool loadTryController(TryNib* nib) override;
    bool loadBuyController(BuyNib* nib) override;

    // The network the web views of later loads browse with; null: they only
    // record the addresses they are asked to load.
    WebNetwork* network = nullptr;

    // Failure injection: the description cannot be loaded.
    bool fail_try = false;
    bool fail_buy = false;

    HeadlessWindow* lastTryPanel() const { return try_panel_; }
    HeadlessWebView* lastTryWebView() const { return try_web_; }
    HeadlessWindow* lastBuyPanel() const { return buy_panel_; }
    HeadlessWebView* lastBuyWebView() const { return buy_web_; }
    HeadlessWindow* lastBuySheet() const { return buy_sheet_; }
    int tryLoads() const { return try_loads_; }
    int buyLoads() const { return buy_loads_; }

  private:
    HeadlessWindow* try_panel_ = nullptr;
    HeadlessWebView* try_web_ = nullptr;
    HeadlessWindow* buy_panel_ = nullptr;
    HeadlessWebView* buy_web_ = nullptr;
    HeadlessWindow* buy_sheet_ = nullptr;
    int try_loads_ = 0;
    int buy_loads_ = 0;
};

}  // namespace glyphoria::mac
