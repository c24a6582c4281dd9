// Script verb "dialogs": what windows the plug-in showed. "dialogs watch"
// starts recording the windows of the host's thread (a transfer's progress
// window, a message box); "dialogs" then lists those closed since the last
// listing, as they looked when they closed. Builds without a window system
// answer "watch" with an error.
#include <ostream>

#include "host/app/script.h"
#include "platform/window_watch.h"

namespace hostapp {

namespace {

namespace platform = glyphoria::platform;

bool Dialogs(ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "watch") {
        if (!platform::StartWindowWatch()) return ctx.Error("this build has no windows to watch");
        ctx.Say() << "watching windows\n";
        return true;
    }
    if (!args.empty()) return ctx.Error("usage: dialogs [watch]");
    const std::vector<platform::WatchedWindow> windows = platform::TakeWatchedWindows();
    ctx.Say() << windows.size() << " window(s) closed\n";
    for (const platform::WatchedWindow& w : windows) {
        ctx.Say() << "window \"" << w.title << "\" " << w.class_name << "\n";
        for (const platform::WatchedControl& c : w.controls) {
            ctx.Say() << "  control " << c.id << " " << c.class_name << " \"" << c.text << "\"";
            if (c.is_progress_bar) *ctx.out << " bar " << c.position << "/" << c.range_high;
            *ctx.out << "\n";
        }
    }
    return true;
}

ScriptVerb gDialogs("dialogs", "dialogs [watch]      windows closed since the last listing",
                    Dialogs);

}  // namespace

}  // namespace hostapp
