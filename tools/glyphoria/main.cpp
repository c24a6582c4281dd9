// glyphoria: a command-line tool over the Glyphoria libraries, for support,
// scripting and the demo. Exit status: 0 done, 1 not found, 2 usage.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "support/log.h"
#include "support/version.h"
#include "tools/glyphoria/subcommand.h"
#ifdef _WIN32
#include "dialogs/forms.h"
#endif

namespace {

using glyphoria::tool::Subcommand;
using glyphoria::tool::Subcommands;

void PrintHelp(std::FILE* out) {
    std::fprintf(out,
                 "glyphoria - tools for the Glyphoria plug-in\n\n"
                 "usage: glyphoria COMMAND [ARGS...]\n"
                 "       glyphoria --help | --version | COMMAND --help\n\n"
                 "commands:\n");
    std::vector<Subcommand> sorted = Subcommands();
    std::sort(sorted.begin(), sorted.end(), [](const Subcommand& a, const Subcommand& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    for (const Subcommand& c : sorted)
        std::fprintf(out, "  %-16s %s\n", c.name, c.summary);
    std::fprintf(out, "\nexit status: 0 done, 1 not found or failed, 2 usage error\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintHelp(stderr);
        return glyphoria::tool::kExitUsage;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
        !std::strcmp(argv[1], "help")) {
        PrintHelp(stdout);
        return glyphoria::tool::kExitDone;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("glyphoria %s\n", GLYPHORIA_VERSION);
        return glyphoria::tool::kExitDone;
    }
    // The tool speaks for itself on standard output; log lines would mix in.
    glyphoria::SetLogEcho(false);
#ifdef _WIN32
    glyphoria::InstallDialogForms();
#endif
    for (const Subcommand& c : Subcommands()) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        if (argc >= 3 && (!std::strcmp(argv[2], "--help") || !std::strcmp(argv[2], "-h"))) {
            std::printf("usage:\n%s", c.usage);
            return glyphoria::tool::kExitDone;
        }
        return c.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "glyphoria: unknown command '%s' (see glyphoria --help)\n", argv[1]);
    return glyphoria::tool::kExitUsage;
}
