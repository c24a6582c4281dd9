#include "host/window/window_script.h"

#include <gtk/gtk.h>
#include <unistd.h>

#include <fstream>

#include "host/window/layout_window.h"

namespace hostwindow {

namespace {
constexpr guint kLongestFrameWaitMilliseconds = 1000;
}

WindowScript::WindowScript(LayoutWindow* window, hostapp::ScriptContext ctx)
    : window_(window), ctx_(std::move(ctx)) {
    ctx_.passTime = PassTime;
}

WindowScript::~WindowScript() {
    if (paintHandler_) g_signal_handler_disconnect(clock_, paintHandler_);
    if (clock_) g_object_unref(clock_);
    for (guint source : {inputSource_, stepSource_, timeoutSource_})
        if (source) g_source_remove(source);
    if (input_) g_io_channel_unref(input_);
}

void WindowScript::PassTime(int milliseconds) {
    bool over = false;
    g_timeout_add(
        static_cast<guint>(milliseconds),
        [](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &over);
    while (!over)
        g_main_context_iteration(nullptr, TRUE);
}

bool WindowScript::StartFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) return false;
    for (std::string line; std::getline(in, line);)
        lines_.push_back(line);
    running_ = true;
    // The first line waits, as a person would, until the window is painted.
    busy_ = true;
    WaitForPaint();
    return true;
}

void WindowScript::StartStandardInput() {
    fromInput_ = true;
    running_ = true;
    busy_ = true;
    WaitForPaint();
    input_ = g_io_channel_unix_new(STDIN_FILENO);
    inputSource_ =
        g_io_add_watch(input_, GIOCondition(G_IO_IN | G_IO_HUP | G_IO_ERR), OnInput, this);
}

gboolean WindowScript::OnInput(GIOChannel*, GIOCondition condition, gpointer data) {
    auto* self = static_cast<WindowScript*>(data);
    char buffer[4096];
    ssize_t n = (condition & G_IO_IN) ? read(STDIN_FILENO, buffer, sizeof buffer) : 0;
    if (n > 0) {
        self->partial_.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = self->partial_.find('\n')) != std::string::npos;) {
            self->lines_.push_back(self->partial_.substr(0, end));
            self->partial_.erase(0, end + 1);
        }
    } else {
        if (!self->partial_.empty()) self->lines_.push_back(self->partial_);
        self->partial_.clear();
        self->inputEnded_ = true;
        self->inputSource_ = 0;
    }
    if (!self->busy_) self->Next();
    return self->inputEnded_ ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

void WindowScript::Next() {
    if (!running_ || busy_) return;
    if (window_->Closed()) return Finish(true);
    if (next_ >= lines_.size()) {
        if (!fromInput_ || inputEnded_) Finish(true);
        return;
    }
    busy_ = true;
    stepSource_ = g_idle_add(OnStep, this);
}

gboolean WindowScript::OnStep(gpointer data) {
    auto* self = static_cast<WindowScript*>(data);
    self->stepSource_ = 0;
    const std::string line = self->lines_[self->next_++];
    if (!hostapp::RunScriptLine(line, ++self->number_, self->ctx_)) {
        self->ctx_.out->flush();
        self->busy_ = false;
        self->Finish(false);
        return G_SOURCE_REMOVE;
    }
    self->ctx_.out->flush();
    self->WaitForPaint();
    return G_SOURCE_REMOVE;
}

void WindowScript::WaitForPaint() {
    GtkWidget* w = GTK_WIDGET(window_->Window());
    GdkFrameClock* clock = window_->Closed() ? nullptr : gtk_widget_get_frame_clock(w);
    if (!clock) {
        busy_ = false;
        return Next();
    }
    if (clock != clock_) {
        if (paintHandler_) g_signal_handler_disconnect(clock_, paintHandler_);
        if (clock_) g_object_unref(clock_);
        clock_ = GDK_FRAME_CLOCK(g_object_ref(clock));
        paintHandler_ = 0;
    }
    if (!paintHandler_)
        paintHandler_ = g_signal_connect(clock_, "after-paint", G_CALLBACK(OnAfterPaint), this);
    gtk_widget_queue_draw(w);
    timeoutSource_ = g_timeout_add(kLongestFrameWaitMilliseconds, OnPaintTimeout, this);
}

void WindowScript::OnAfterPaint(GdkFrameClock*, gpointer data) {
    auto* self = static_cast<WindowScript*>(data);
    if (!self->busy_ || !self->timeoutSource_) return;
    g_source_remove(self->timeoutSource_);
    self->timeoutSource_ = 0;
    self->busy_ = false;
    self->Next();
}

gboolean WindowScript::OnPaintTimeout(gpointer data) {
    auto* self = static_cast<WindowScript*>(data);
    self->timeoutSource_ = 0;
    self->busy_ = false;
    self->Next();
    return G_SOURCE_REMOVE;
}

void WindowScript::Finish(bool ok) {
    if (!running_) return;
    running_ = false;
    if (inputSource_) g_source_remove(inputSource_);
    inputSource_ = 0;
    if (done_) done_(ok);
}

}  // namespace hostwindow
