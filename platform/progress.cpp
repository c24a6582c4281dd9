// The test hook and the choice of form, shared by every form.
#include "platform/progress.h"

#include <atomic>
#include <mutex>

namespace glyphoria::platform {

namespace {

// Atomic: CancelProgress reads it from signal handlers and other threads.
std::atomic<const ProgressForm*> g_form{nullptr};

std::mutex g_hook_mutex;
ProgressProc g_hook;

const ProgressForm& CurrentForm() {
    const ProgressForm* form = g_form.load();
    return form ? *form : PlatformProgressForm();
}

}  // namespace

int RunProgress(const ProgressProc& start, const ProgressProc& tick) {
    return CurrentForm().run(start, tick);
}

void CancelProgress() {
    CurrentForm().cancel();
}

const ProgressForm* SetProgressForm(const ProgressForm* form) {
    return g_form.exchange(form);
}

void SetProgressHook(const ProgressProc& hook) {
    std::lock_guard<std::mutex> lock(g_hook_mutex);
    g_hook = hook;
}

void RunProgressHook(ProgressWindow& window) {
    ProgressProc hook;
    {
        // A copy: the hook may replace itself while it runs.
        std::lock_guard<std::mutex> lock(g_hook_mutex);
        hook = g_hook;
    }
    if (hook) hook(window);
}

}  // namespace glyphoria::platform
