// A host script driving the live layout window from its event loop: one line
// runs, then the loop lays out and paints the window (one frame of its
// clock, or at most a second when no frame comes) before the next, so each
// line sees what the lines before it did on the screen. Lines come from a
// file read whole at the start, or from standard input as they arrive (the
// window stays live while nobody types).
//
// The script ends at its last line, at a line that fails (after the error in
// the transcript), or when the window closes; the done handler then hears
// whether every line ran. While the script waits (idle MS) the loop runs.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

#include "host/app/script.h"

namespace hostwindow {

class LayoutWindow;

class WindowScript {
  public:
    WindowScript(LayoutWindow* window, hostapp::ScriptContext ctx);
    ~WindowScript();
    WindowScript(const WindowScript&) = delete;
    WindowScript& operator=(const WindowScript&) = delete;

    void SetDoneHandler(std::function<void(bool ok)> done) { done_ = std::move(done); }
    // false (nothing starts) when the file cannot be read.
    bool StartFile(const std::string& path);
    void StartStandardInput();
    bool Running() const { return running_; }

    // The script context's passTime for a window: the loop runs meanwhile.
    static void PassTime(int milliseconds);

  private:
    static gboolean OnStep(gpointer self);
    static gboolean OnInput(GIOChannel* channel, GIOCondition condition, gpointer self);
    static void OnAfterPaint(GdkFrameClock* clock, gpointer self);
    static gboolean OnPaintTimeout(gpointer self);
    void RunLine(const std::string& line);
    void WaitForPaint();
    void Next();
    void Finish(bool ok);

    LayoutWindow* window_;
    hostapp::ScriptContext ctx_;
    std::function<void(bool)> done_;
    std::vector<std::string> lines_;
    size_t next_ = 0;
    int number_ = 0;
    bool running_ = false;
    bool fromInput_ = false;
    bool inputEnded_ = false;
    bool busy_ = false;  // a line runs or its frame is awaited
    std::string partial_;
    GIOChannel* input_ = nullptr;
    guint inputSource_ = 0, stepSource_ = 0, timeoutSource_ = 0;
    gulong paintHandler_ = 0;
    GdkFrameClock* clock_ = nullptr;
};

}  // namespace hostwindow
