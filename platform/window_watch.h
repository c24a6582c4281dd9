// Watching the windows this thread shows: what a transfer's progress window
// or a dialog looked like at the moment it closed, for the host program's
// transcript and for tests that run the plug-in in another process.
//
// StartWindowWatch begins recording the top-level windows of the calling
// thread that become active (what the user sees, not the system's hidden
// helper windows); each is recorded when it is destroyed, with its caption,
// its class and its controls as they were then (a progress bar with its range
// and position). TakeWatchedWindows hands out what was recorded since the
// last call, oldest first, and forgets it; StopWindowWatch ends the watch.
// Returns false from StartWindowWatch where there is no window system to
// watch (POSIX) or the watch cannot be installed; a second start on the same
// thread keeps the running watch. One thread at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphoria::platform {

struct WatchedControl {
    int id = 0;
    std::string class_name;
    std::string text;  // UTF-8
    bool is_progress_bar = false;
    std::int64_t range_high = 0;  // progress bars only
    std::int64_t position = 0;
};

struct WatchedWindow {
    std::string class_name;
    std::string title;  // UTF-8
    std::vector<WatchedControl> controls;
};

bool StartWindowWatch();
std::vector<WatchedWindow> TakeWatchedWindows();
void StopWindowWatch();

}  // namespace glyphoria::platform
