// No window system here: the plug-in's windows are a terminal bar and the
// message service, which tests watch through their own hooks.
#include "platform/window_watch.h"

namespace glyphoria::platform {

bool StartWindowWatch() {
    return false;
}

std::vector<WatchedWindow> TakeWatchedWindows() {
    return {};
}

void StopWindowWatch() {}

}  // namespace glyphoria::platform
