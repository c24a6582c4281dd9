// The stand-in web-window library's exported entries, for the programs that
// load it (the host program, tests). The library is built as "Glyphoria.so"
// beside the plug-in module, which finds it by its own path.
//
// Entry the plug-in drives, exported under the name "main":
//   int32_t main(const char* command, intptr_t argument)
//     "version"         argument: the plug-in's callback (GlyphoriaHostCallback),
//                       kept for later callbacks (null clears it); answers the
//                       interface version, 28 unless set otherwise.
//     "isTryWndVisible" 1 while the sampler page is shown, else 0.
//     "showTryWnd"      argument: NUL-terminated start address; fetches the
//                       page over HTTP and shows it (the window counts as shown
//                       even when the fetch fails, like a browser showing an
//                       error page); 1 when the page arrived, else 0.
//     "closeTryWnd"     hides the page; 0.
//   Any other command, also a known one in other letter case: 0. A null
//   command or argument never crashes. The library draws no window.
//
// Entries that play the user and the test harness (all "C", all safe with
// null arguments):
//   int32_t glyphoria_webwindow_act(const char* action, const char* argument)
//     Acts on the shown page through the plug-in's callback and answers the
//     callback's result, or -1 when the action cannot happen (no callback, no
//     page shown, no such link). Actions:
//       "try"           argument: font id; "doTry" with that font's try
//                       argument from the page (its data-try attribute).
//       "revert"        "doRevert" with the page's revert argument.
//       "homepage"      "doHomepage" with the page's homepage link.
//       "newWindow"     "doNewWindow" with the argument.
//       "wait"          1 when a page is shown, else -1 (the form over a real
//                       engine waits for its page here).
//       "buy"           fetches the cart (the page's cart link) and picks a
//                       download link: the first one for an empty argument,
//                       the argument itself when it is an address, else the
//                       first link containing the argument; "doBuy" with it,
//                       and when that answers 0 the library follows the link
//                       itself (recorded as a fetch).
//       "prefString"    argument "key" or "key=initial": "prefString" with a
//                       KeyValueArgs whose 255-byte value buffer (the NUL
//                       included) starts as "initial" (else empty).
//       "langString"    the same with a 513-byte buffer.
//       "setPrefString" argument "key=value".
//       "hostWnd"       "hostWnd" with a null argument.
//       "call"          argument "command" (null argument) or
//                       "command=text" (that text): any callback, raw.
//   size_t glyphoria_webwindow_record(char* buffer, size_t capacity)
//     The record of everything that passed, one event per line (see
//     web_window.h for the line forms), copied like snprintf: at most
//     capacity - 1 bytes and a NUL; returns the full length.
//   int32_t glyphoria_webwindow_control(const char* setting, const char* value)
//     "version" (number to answer), "visible" ("0"/"1"), "caFile" (PEM file
//     trusted for HTTPS; without one, HTTPS certificates are not checked),
//     "buyFollows" ("0"/"1": whether "buy" follows a link the plug-in did not
//     take, default 1), "clearRecord", "reset" (everything back to the state
//     after loading). 1 for a known setting, else 0.
#pragma once

#include <stddef.h>
#include <stdint.h>

extern "C" {

typedef int32_t (*GlyphoriaHostCallback)(const char* command, intptr_t argument);

// The argument of "prefString", "langString" and "setPrefString".
struct GlyphoriaKeyValueArgs {
    const char* key;
    char* value;
};

typedef int32_t (*GlyphoriaWebWindowMain)(const char* command, intptr_t argument);
typedef int32_t (*GlyphoriaWebWindowAct)(const char* action, const char* argument);
typedef size_t (*GlyphoriaWebWindowRecord)(char* buffer, size_t capacity);
typedef int32_t (*GlyphoriaWebWindowControl)(const char* setting, const char* value);
}

// Capacities of the value buffers the library hands to the plug-in, their
// NUL included. Guard bytes follow each: a write past it is noted.
constexpr size_t kGlyphoriaPrefValueCapacity = 255;
constexpr size_t kGlyphoriaLangValueCapacity = 513;
