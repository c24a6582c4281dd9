#include "mac/headless/headless_window.h"

#include <sstream>

#include "mac/headless/headless_web_view.h"

namespace glyphoria::mac {

namespace {
constexpr const char* kScreen = " 0 0 1440 900";
}

HeadlessWindow::HeadlessWindow(std::string title) : title_(std::move(title)) {}
HeadlessWindow::~HeadlessWindow() = default;

std::string HeadlessWindow::frameString() const {
    return std::to_string(x_) + " " + std::to_string(y_) + " " + std::to_string(width_) + " " +
           std::to_string(height_) + kScreen;
}

void HeadlessWindow::setFrameFromString(const std::string& frame) {
    std::istringstream in(frame);
    int x, y, w, h;
    // Like the window system, a string it cannot read changes nothing.
    if (!(in >> x >> y >> w >> h) || w <= 0 || h <= 0) return;
    x_ = x;
    y_ = y;
    width_ = w;
    height_ = h;
}

void HeadlessWindow::makeKeyAndOrderFront() {
    key_ = true;
    visible_ = true;
    ++front_count_;
}

void HeadlessWindow::orderFront() {
    visible_ = true;
    ++front_count_;
}

void HeadlessWindow::orderOut() {
    visible_ = false;
    key_ = false;
}

void HeadlessWindow::userClose() {
    if (delegate_) delegate_->windowWillClose();
    visible_ = false;
    key_ = false;
}

void HeadlessWindow::userMove(int x, int y, int width, int height) {
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
}

void HeadlessWindow::adoptWebView(std::unique_ptr<HeadlessWebView> web_view) {
    web_view_ = std::move(web_view);
}

}  // namespace glyphoria::mac
