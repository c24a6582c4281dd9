#include "tools/glyphoria/subcommand.h"

namespace glyphoria::tool {

std::vector<Subcommand>& Subcommands() {
    static std::vector<Subcommand> commands;
    return commands;
}

int UsageError(const Subcommand& command, const char* why) {
    if (why && *why) std::fprintf(stderr, "glyphoria %s: %s\n", command.name, why);
    std::fprintf(stderr, "usage:\n%s", command.usage);
    return kExitUsage;
}

}  // namespace glyphoria::tool
