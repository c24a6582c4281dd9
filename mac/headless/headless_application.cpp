#include "mac/headless/headless_application.h"

namespace glyphoria::mac {

void HeadlessApplication::runModalForWindow(Window& window) {
    Window* outer = modal_window_;
    const bool outer_stop = stop_requested_;
    modal_window_ = &window;
    stop_requested_ = false;
    ++modal_runs_;
    // The modal window is shown, key and in front.
    window.makeKeyAndOrderFront();
    while (!stop_requested_ && !steps_.empty()) {
        boost::function<void()> step = steps_.front();
        steps_.pop_front();
        step();
    }
    if (!stop_requested_) ++abandoned_;
    modal_window_ = outer;
    stop_requested_ = outer_stop;
}

void HeadlessApplication::beginSheet(Window& sheet, Window& parent, const SheetEndHandler& on_end) {
    ++sheets_begun_;
    sheet_ = &sheet;
    parent.contentView().enabled = false;
    sheet.makeKeyAndOrderFront();
    sheets_[&sheet] = {&parent, on_end};
}

void HeadlessApplication::endSheet(Window& sheet, int code) {
    auto it = sheets_.find(&sheet);
    if (it == sheets_.end()) return;
    const OpenSheet open = it->second;
    sheets_.erase(it);
    if (sheet_ == &sheet) sheet_ = nullptr;
    sheet_codes_.push_back(code);
    open.parent->contentView().enabled = true;
    if (open.on_end) open.on_end(sheet, code);
    if (open.parent->isVisible()) open.parent->makeKeyAndOrderFront();
}

void HeadlessApplication::releaseWhenIdle(std::unique_ptr<Window> window) {
    if (window) released_.push_back(std::move(window));
}

}  // namespace glyphoria::mac
