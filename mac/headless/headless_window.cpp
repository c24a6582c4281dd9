#include "mac/headless/headless_window.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "mac/headless/headless_web_view.h"

namespace glyphoria::mac {

namespace {

constexpr const char* kScreen = " 0 0 1440 900";

// The windows on screen, front first.
std::vector<HeadlessWindow*>& OnScreen() {
    static std::vector<HeadlessWindow*> windows;
    return windows;
}

void Remove(HeadlessWindow* window) {
    auto& windows = OnScreen();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

}  // namespace

HeadlessWindow::HeadlessWindow(std::string title) : title_(std::move(title)) {}

HeadlessWindow::~HeadlessWindow() {
    Remove(this);
}

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

void HeadlessWindow::becomeKey() {
    for (HeadlessWindow* other : OnScreen())
        if (other != this) other->key_ = false;
    key_ = true;
}

void HeadlessWindow::toFront() {
    Remove(this);
    OnScreen().insert(OnScreen().begin(), this);
    visible_ = true;
    ++front_count_;
}

void HeadlessWindow::makeKeyAndOrderFront() {
    toFront();
    becomeKey();
}

void HeadlessWindow::orderFront() {
    toFront();
}

void HeadlessWindow::orderOut() {
    Remove(this);
    visible_ = false;
    key_ = false;
}

void HeadlessWindow::setPanelClass(bool panel) {
    if (panel && !panel_events_)
        panel_events_ = std::make_unique<PanelEvents>(*this);
    else if (!panel)
        panel_events_.reset();
}

bool HeadlessWindow::userClose() {
    if (!closable_ || !content_.IsEnabled()) return false;
    if (delegate_) delegate_->windowWillClose();
    orderOut();
    return true;
}

void HeadlessWindow::userMove(int x, int y, int width, int height) {
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
}

bool HeadlessWindow::userEvent(const PanelEvent& event) {
    if (!visible_ || !content_.IsEnabled()) return false;
    deliver(event);
    return true;
}

void HeadlessWindow::deliver(const PanelEvent& event) {
    if (panel_events_)
        panel_events_->sendEvent(event);
    else
        sendToBase(event);
}

bool HeadlessWindow::isFrontWindow() const {
    return !OnScreen().empty() && OnScreen().front() == this;
}

void HeadlessWindow::sendToBase(const PanelEvent& event) {
    ++base_events_;
    if (event.type == kEventLeftMouseDown || event.type == kEventRightMouseDown) {
        // The click lands in the page.
        toFront();
        becomeKey();
        web_first_responder_ = web_view_ != nullptr;
    } else if (event.type == kEventKeyDown) {
        firstResponderKeyDown(event);
    }
}

void HeadlessWindow::sendToFrontWindow(const PanelEvent& event) {
    if (!OnScreen().empty() && OnScreen().front() != this) OnScreen().front()->deliver(event);
}

void HeadlessWindow::firstResponderKeyDown(const PanelEvent& event) {
    if (web_first_responder_ && web_view_) web_view_->typeKey(event.characters_ignoring_modifiers);
}

bool HeadlessWindow::firstResponderRespondsTo(const std::string& action) const {
    return web_first_responder_ && web_view_ && HeadlessWebView::TakesEditAction(action);
}

void HeadlessWindow::performOnFirstResponder(const std::string& action) {
    if (firstResponderRespondsTo(action)) web_view_->performEditAction(action);
}

void HeadlessWindow::adoptWebView(std::unique_ptr<HeadlessWebView> web_view) {
    web_view_ = std::move(web_view);
    web_first_responder_ = web_view_ != nullptr;
}

}  // namespace glyphoria::mac
