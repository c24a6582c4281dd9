// The user's hand on the shown page: scripts run by the engine in the page,
// so a click goes through the page's own links and the engine's navigation
// exactly as a mouse click would.
#pragma once

#include <webkit2/webkit2.h>

#include <chrono>
#include <map>
#include <string>

namespace glyphoria::testing::webwindow_gtk {

struct ScriptResult {
    bool ran = false;  // the page answered (else error says why)
    std::string error;
    bool truth = false;  // a boolean answer
    std::string text;    // a string answer
};

// Runs body as the body of a function whose parameters are the arguments
// (name -> string value), in the page's own script world, and waits at most
// limit for its answer (PumpUntil).
ScriptResult RunPageScript(WebKitWebView* view, const char* body,
                           const std::map<std::string, std::string>& arguments,
                           std::chrono::milliseconds limit);

// Clicks the try link of font `id` (its data-id, or the id in a
// glyphoria://try address); true when there was one.
extern const char kClickTryScript[];
// Clicks the first link that `selector` (CSS) finds; its address, "" for none.
extern const char kClickSelectorScript[];
// Clicks the first download link (class "download") whose address contains
// `part` ("" takes the first); its address, "" for none.
extern const char kClickDownloadScript[];
// Clicks a new link to `address` that opens in a new window; true.
extern const char kOpenNewWindowScript[];
// Answers true once the page has been drawn twice since it was asked: its
// first picture is then on its way to the window.
extern const char kPaintedScript[];

}  // namespace glyphoria::testing::webwindow_gtk
