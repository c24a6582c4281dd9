// The main job by hand: the demo's shop and home as the scripted session has
// them (demo_setup.h, output_folder.h), and the layout in the host program's
// layout window (glyphoria-host --window) with the plug-in module beside the
// web-window library over the real web engine. The sampler window is opened
// from the menu for the person, who then selects frames, clicks fonts on the
// live page, restores and buys; closing the layout window ends the run.
//
// With the Mac form the module's own windows take the web-window library's
// place: the sampler panel, and the purchase panel from the page's Cart.
//
// A script, when given, runs in the window after the sampler window opened
// (host script verbs, paths from the output folder); one that ends with
// "close" ends the run by itself (scripts/gui-screenshots does that).
//
// The host is a program of its own, started with this process's environment
// (HOME and the XDG folders already point into the output folder); its
// transcript and the plug-in's own output go to OUTPUT/plugin-console.txt.
#pragma once

#include <string>

namespace glyphoria::demo {

struct WindowDemoOptions {
    std::string output;         // the output folder
    std::string document;       // the layout; a copy of it is what the window shows
    std::string module_folder;  // Glyphoria.pln beside the real-engine library
    std::string host_program;   // glyphoria-host
    std::string script;         // optional: host script lines run after the opening
    bool narrate = true;        // instructions and places on standard output
    // The Mac form: module_folder holds GlyphoriaMac.pln, whose own windows
    // (on GTK, beside the layout window) show the sampler and purchase pages.
    bool mac_form = false;
};

// The host program's exit status (0: the window closed and every script
// line ran), or 1 when the run could not start (*error says why then).
int RunWindowDemo(const WindowDemoOptions& options, std::string* error);

}  // namespace glyphoria::demo
