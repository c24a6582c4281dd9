#include "mac/headless/headless_nib_loader.h"

namespace glyphoria::mac {

namespace {

std::unique_ptr<ViewNode> Node(ViewKind kind, const char* id, const char* text = "") {
    return std::make_unique<ViewNode>(kind, id, text);
}

}  // namespace

bool HeadlessNibLoader::loadTryController(TryNib* nib) {
    if (fail_try) return false;
    ++try_loads_;
    auto panel = std::make_unique<HeadlessWindow>("Glyphoria");
    panel->setPanelClass(true);
    panel->contentView().Add(Node(ViewKind::kWebView, "webView"));
    auto web = std::make_unique<HeadlessWebView>();
    web->setNetwork(network);
    try_web_ = web.get();
    panel->adoptWebView(std::move(web));
    try_panel_ = panel.get();
    nib->web_view = try_web_;
    nib->top_level_objects = {"NSApplication", "TryController", "Panel_840"};
    nib->panel = std::move(panel);
    return true;
}

bool HeadlessNibLoader::loadBuyController(BuyNib* nib) {
    if (fail_buy) return false;
    ++buy_loads_;
    auto panel = std::make_unique<HeadlessWindow>("Glyphoria");
    panel->setPanelClass(true);
    // The modal loop ends only by the Close button: no close control, which
    // would take the panel away with the loop still running.
    panel->setClosable(false);
    ViewNode& content = panel->contentView();
    ViewNode& box = content.Add(Node(ViewKind::kBox, "folderBox", "downloadGroupBtn"));
    nib->folder_field = &box.Add(Node(ViewKind::kTextField, "folder"));
    nib->choose_button = &box.Add(Node(ViewKind::kButton, "choose", "choose"));
    nib->install_button = &content.Add(Node(ViewKind::kCheckBox, "install", "installBtn"));
    nib->show_button = &content.Add(Node(ViewKind::kButton, "show", "show"));
    nib->close_button = &content.Add(Node(ViewKind::kButton, "close", "close"));
    content.Add(Node(ViewKind::kWebView, "webView"));
    auto web = std::make_unique<HeadlessWebView>();
    web->setNetwork(network);
    buy_web_ = web.get();
    panel->adoptWebView(std::move(web));

    auto sheet = std::make_unique<HeadlessWindow>();
    ViewNode& sheet_content = sheet->contentView();
    sheet_content.Add(Node(ViewKind::kTextField, "caption", "downloading"));
    nib->progress_bar = &sheet_content.Add(Node(ViewKind::kProgressIndicator, "progress"));
    nib->cancel_button = &sheet_content.Add(Node(ViewKind::kButton, "cancel", "cancel"));

    buy_panel_ = panel.get();
    buy_sheet_ = sheet.get();
    nib->web_view = buy_web_;
    nib->panel = std::move(panel);
    nib->progress_sheet = std::move(sheet);
    return true;
}

}  // namespace glyphoria::mac
