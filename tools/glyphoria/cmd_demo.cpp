// glyphoria demo: runs one whole Glyphoria session in the host stand-in
// against the stand-in shop on loopback (tools/glyphoria/demo/demo_session.h)
// and prints what happened, the checks and where everything is. Exit status
// 0 only when the session ran to its end and every check holds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/glyphoria/demo/demo_session.h"
#include "tools/glyphoria/demo/wait_for_person.h"
#include "tools/glyphoria/subcommand.h"

namespace glyphoria::tool {
namespace {

int RunDemo(int argc, char** argv);

constexpr const char* kUsage =
    "  glyphoria demo [--output DIR] [--keep-server] [--document FILE] [--plugins DIR]\n"
    "                 [--quiet]\n"
    "Runs one whole session of the plug-in, as a designer would: the host starts\n"
    "and loads the plug-in module, a layout is opened, the sampler window opens from\n"
    "the menu (configuration fetched, start page shown), one shop font is tried on\n"
    "the text frames, then another (a re-try), one step is undone, the frames are\n"
    "restored from the menu, fonts are bought (archive saved, its OpenType fonts\n"
    "installed), and the host shuts down. The shop runs in this process on\n"
    "127.0.0.1. A picture of the page is written after each change; the summary at\n"
    "the end lists the checks and where everything is.\n"
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
    ")\n"
    "  --quiet          no step lines while running; only the summary\n"
    "\n"
    "Exit status: 0 every check holds, 1 a check failed or the session stopped,\n"
    "2 usage error.\n";

GLYPHORIA_SUBCOMMAND(kDemoCommand, "demo", kUsage, "run a whole session of the plug-in and show it",
                     RunDemo);

const Subcommand& Self() {
    static const Subcommand self{"demo", kUsage, "", RunDemo};
    return self;
}

int RunDemo(int argc, char** argv) {
    demo::DemoOptions options;
    options.output = GLYPHORIA_DEMO_OUTPUT;
    options.document = GLYPHORIA_DEMO_DOCUMENT;
    options.module_folder = GLYPHORIA_DEMO_MODULE_DIR;
    bool keep_server = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* value = nullptr;
        if (arg == "--output")
            value = &options.output;
        else if (arg == "--document")
            value = &options.document;
        else if (arg == "--plugins")
            value = &options.module_folder;
        else if (arg == "--keep-server")
            keep_server = true;
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

    demo::DemoSession session(options);
    const demo::DemoReport report = session.Run();
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
