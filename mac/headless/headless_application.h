// The application without an event loop. A modal loop runs the steps a test
// queued (the user's actions while the panel is up) until one of them stops
// it; a loop whose steps run out without a stop returns as well and is
// counted as abandoned, so a test fails instead of hanging. A sheet is
// document-modal: while it is up its window's content view is disabled (no
// clicks, keys or closing reach the window); ending it calls the handler at
// once and gives the window back its content and the key. Windows released
// "when idle" stay alive until drain().
#pragma once

#include <boost/function.hpp>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "mac/seam/application.h"

namespace glyphoria::mac {

class HeadlessApplication : public Application {
  public:
    void runModalForWindow(Window& window) override;
    void stopModal() override { stop_requested_ = true; }
    void beginSheet(Window& sheet, Window& parent, const SheetEndHandler& on_end) override;
    void endSheet(Window& sheet, int code) override;
    void releaseWhenIdle(std::unique_ptr<Window> window) override;
    void activateHostProcess() override { ++activations_; }

    // Queues a user action for the next modal loop(s).
    void queueModalStep(const boost::function<void()>& step) { steps_.push_back(step); }
    void drain() { released_.clear(); }

    Window* modalWindow() const { return modal_window_; }
    Window* sheet() const { return sheet_; }
    int modalRuns() const { return modal_runs_; }
    int abandonedLoops() const { return abandoned_; }
    int sheetsBegun() const { return sheets_begun_; }
    const std::vector<int>& sheetCodes() const { return sheet_codes_; }
    int activations() const { return activations_; }

  private:
    std::deque<boost::function<void()>> steps_;
    Window* modal_window_ = nullptr;
    bool stop_requested_ = false;
    int modal_runs_ = 0;
    int abandoned_ = 0;
    Window* sheet_ = nullptr;
    struct OpenSheet {
        Window* parent;
        SheetEndHandler on_end;
    };
    std::map<Window*, OpenSheet> sheets_;
    int sheets_begun_ = 0;
    std::vector<int> sheet_codes_;
    std::vector<std::unique_ptr<Window>> released_;
    int activations_ = 0;
};

}  // namespace glyphoria::mac
