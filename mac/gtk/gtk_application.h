// The application on GTK: the modal loop is a main loop of its own for the
// panel, which is made modal (no other window of the program takes input
// meanwhile); stopModal ends the innermost loop once the current event is
// handled. A sheet is a window of its own, transient for and centred on its
// window and modal while it is up, so its window takes no clicks, keys or
// close requests; ending it calls the handler before it returns. Windows
// released when idle go once the main loop is idle again.
//
// Steps queued for a modal loop (the hands' whenModal) run one after the
// other from the loop once it runs; a loop whose steps run out without a
// stop ends as well and is counted as abandoned, so a test fails instead of
// hanging. A loop given no steps waits for the person.
#pragma once

#include <gtk/gtk.h>

#include <boost/function.hpp>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "mac/seam/application.h"

namespace glyphoria::mac {

class GtkMacApplication : public Application {
  public:
    GtkMacApplication() = default;
    ~GtkMacApplication() override;

    void runModalForWindow(Window& window) override;
    void stopModal() override;
    void beginSheet(Window& sheet, Window& parent, const SheetEndHandler& on_end) override;
    void endSheet(Window& sheet, int code) override;
    void releaseWhenIdle(std::unique_ptr<Window> window) override;
    // The host's main window to the front, when there is one here.
    void activateHostProcess() override;

    void queueModalStep(const boost::function<void()>& step) { steps_.push_back(step); }
    int modalRuns() const { return modal_runs_; }
    int abandonedLoops() const { return abandoned_; }
    int sheetsBegun() const { return sheets_begun_; }
    const std::vector<int>& sheetCodes() const { return sheet_codes_; }
    // The windows released and not yet gone.
    void drain();

  private:
    struct Loop {
        GMainLoop* loop;
        bool stopped = false;
        bool given_steps = false;
    };
    static gboolean RunNextStep(gpointer self);
    static gboolean ReleaseIdle(gpointer self);

    std::deque<boost::function<void()>> steps_;
    std::vector<Loop*> loops_;
    struct OpenSheet {
        Window* parent;
        SheetEndHandler on_end;
    };
    std::map<Window*, OpenSheet> sheets_;
    std::vector<std::unique_ptr<Window>> released_;
    guint release_source_ = 0;
    int modal_runs_ = 0;
    int abandoned_ = 0;
    int sheets_begun_ = 0;
    std::vector<int> sheet_codes_;
};

}  // namespace glyphoria::mac
