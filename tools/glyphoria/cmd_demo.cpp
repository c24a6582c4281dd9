// glyphoria demo: runs one whole Glyphoria session in the host stand-in
// against the stand-in shop on loopback (tools/glyphoria/demo/demo_session.h)
// and prints what happened, the checks and where everything is. Exit status
// 0 only when the session ran to its end and every check holds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/glyphoria/demo/demo_session.h"
#ifdef GLYPHORIA_DEMO_MAC_MODULE_DIR
#include "tools/glyphoria/demo/mac_demo_session.h"
#endif
#include "tools/glyphoria/demo/wait_for_person.h"
#include "tools/glyphoria/demo/window_demo.h"
#include "tools/glyphoria/subcommand.h"

namespace glyphoria::tool {
namespace {

int RunDemo(int argc, char** argv);
int RunWindow(const demo::DemoOptions& options, const std::string& form, const std::string& plugins,
              const std::string& script);
template <class Session>
int Finish(Session& session, const demo::DemoReport& report, bool keep_server);

constexpr const char* kUsage =
    "  glyphoria demo [--output DIR] [--keep-server] [--document FILE] [--plugins DIR]\n"
    "                 [--form windows|mac] [--quiet]\n"
    "  glyphoria demo --window [--output DIR] [--document FILE] [--plugins DIR]\n"
    "                 [--form windows|mac] [--script FILE] [--quiet]\n"
    "Runs one whole session of the plug-in, as a designer would: the host starts\n"
    "and loads the plug-in module, a layout is opened, the sampler window opens from\n"
    "the menu (configuration fetched, start page shown), one shop font is tried on\n"
    "the text frames, then another (a re-try), one step is undone, the frames are\n"
    "restored from the menu, fonts are bought (archive saved, its OpenType fonts\n"
    "installed), and the host shuts down. The shop runs in this process on\n"
    "127.0.0.1. A picture of the page is written after each change; the summary at\n"
    "the end lists the checks and where everything is.\n"
    "With --window the session is yours: the layout opens in the host's layout\n"
    "window beside the sampler window (a real web page); select frames, click fonts,\n"
    "restore, buy; closing the layout window ends it. Needs a display.\n"
    "\n"
    "  --output DIR     where everything goes (default: " GLYPHORIA_DEMO_OUTPUT
    ").\n"
    "                   The session's home, preferences, log, downloads and fonts\n"
    "                   are folders in there, never your own. Each run empties the\n"
    "                   folder first; a non-empty folder that an earlier run did not\n"
    "                   make is refused.\n"
    "  --keep-server    after the summary, leave the shop running and print its\n"
    "                   address so you can open the sampler page in a browser; Enter\n"
    "                   or Ctrl-C stops it.\n"
    "  --document FILE  the layout (default: " GLYPHORIA_DEMO_DOCUMENT
    ")\n"
    "  --plugins DIR    the plug-in module Glyphoria.pln and the web-window library\n"
    "                   beside it (default: " GLYPHORIA_DEMO_MODULE_DIR
    ",\n"
    "                   with --window: " GLYPHORIA_DEMO_GUI_MODULE_DIR
    ")\n"
    "  --window         the session by hand, in the layout window\n"
    "  --script FILE    with --window: host script lines to run in the window once\n"
    "                   the sampler window is open (files named from the output\n"
    "                   folder); end it with \"close\" to end the run\n"
    "  --form FORM      windows (the default) or mac: the Mac form's module\n"
    "                   (GlyphoriaMac.pln) with its own windows (headless, or real\n"
    "                   ones with --window): the sampler window, a try, a re-try and\n"
    "                   Command-Z (Ctrl-Z) in it, the restore, the purchase window\n"
    "                   with the folder choice, the download under the progress bar\n"
    "                   and the installation\n"
    "  --quiet          no step lines while running; only the summary\n"
    "\n"
    "Exit status: 0 every check holds (with --window: the window closed and every\n"
    "script line ran), 1 a check failed or the session stopped, 2 usage error.\n";

GLYPHORIA_SUBCOMMAND(kDemoCommand, "demo", kUsage, "run a whole session of the plug-in and show it",
                     RunDemo);

const Subcommand& Self() {
    static const Subcommand self{"demo", kUsage, "", RunDemo};
    return self;
}

int RunWindow(const demo::DemoOptions& options, const std::string& form, const std::string& plugins,
              const std::string& script) {
    if (std::strlen(GLYPHORIA_DEMO_GUI_MODULE_DIR) == 0) {
        std::fprintf(stderr, "glyphoria demo: the layout window is not part of this build\n");
        return kExitNotFound;
    }
    demo::WindowDemoOptions w;
    w.output = options.output;
    w.document = options.document;
    w.module_folder = plugins.empty() ? GLYPHORIA_DEMO_GUI_MODULE_DIR : plugins;
#ifdef GLYPHORIA_DEMO_MAC_MODULE_DIR
    w.mac_form = form == "mac";
    if (w.mac_form && plugins.empty()) w.module_folder = GLYPHORIA_DEMO_MAC_MODULE_DIR;
#else
    if (form == "mac") return UsageError(Self(), "this build has no Mac form");
#endif
    w.host_program = GLYPHORIA_DEMO_HOST_PROGRAM;
    w.script = script;
    w.narrate = options.narrate;
    std::string error;
    const int status = demo::RunWindowDemo(w, &error);
    if (!error.empty()) std::fprintf(stderr, "glyphoria demo: %s\n", error.c_str());
    return status == 0 ? kExitDone : kExitNotFound;
}

int RunDemo(int argc, char** argv) {
    demo::DemoOptions options;
    options.output = GLYPHORIA_DEMO_OUTPUT;
    options.document = GLYPHORIA_DEMO_DOCUMENT;
    options.module_folder = GLYPHORIA_DEMO_MODULE_DIR;
    bool keep_server = false, window = false;
    std::string plugins, script, form = "windows";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* value = nullptr;
        if (arg == "--output")
            value = &options.output;
        else if (arg == "--document")
            value = &options.document;
        else if (arg == "--plugins")
            value = &plugins;
        else if (arg == "--script")
            value = &script;
        else if (arg == "--form")
            value = &form;
        else if (arg == "--keep-server")
            keep_server = true;
        else if (arg == "--window")
            window = true;
        else if (arg == "--quiet")
            options.narrate = false;
        else
            return UsageError(Self(), ("unknown argument " + arg).c_str());
        if (value) {
            if (i + 1 >= argc || !*argv[i + 1])
                return UsageError(Self(), (arg + " needs a value").c_str());
            *value = argv[++i];
        }
    }
    if (form != "windows" && form != "mac")
        return UsageError(Self(), ("unknown form " + form).c_str());
    if (window) {
        if (keep_server) return UsageError(Self(), "--keep-server is not for --window");
        return RunWindow(options, form, plugins, script);
    }
    if (!script.empty()) return UsageError(Self(), "--script is for --window");
    if (!plugins.empty()) options.module_folder = plugins;

    if (form == "mac") {
#ifdef GLYPHORIA_DEMO_MAC_MODULE_DIR
        if (plugins.empty()) options.module_folder = GLYPHORIA_DEMO_MAC_MODULE_DIR;
        demo::MacDemoSession session(options);
        return Finish(session, session.Run(), keep_server);
#else
        return UsageError(Self(), "this build has no Mac form");
#endif
    }
    demo::DemoSession session(options);
    return Finish(session, session.Run(), keep_server);
}

// The summary, the shop kept for a person if asked, and the exit status.
template <class Session>
int Finish(Session& session, const demo::DemoReport& report, bool keep_server) {
    std::printf("\n%s", demo::FormatSummary(report).c_str());
    std::fflush(stdout);

    if (keep_server && !session.ShopUrl().empty()) {
        demo::WaitForEnterOrSignal([&session] {
            std::printf(
                "\nThe shop is still running at %s\n"
                "Open the sampler page in a browser: %s\n"
                "(its try links use the plug-in's own address scheme, which a browser does not "
                "follow).\n"
                "Press Enter or Ctrl-C to stop it.\n",
                session.ShopUrl().c_str(), session.SamplerPageUrl().c_str());
            std::fflush(stdout);
        });
        std::printf("Shop stopped.\n");
    }
    return report.Passed() ? kExitDone : kExitNotFound;
}

}  // namespace
}  // namespace glyphoria::tool
