// Subcommands of the glyphoria tool register themselves with
// GLYPHORIA_SUBCOMMAND in their own file. Exit status of every subcommand:
// 0 done, 1 not found / failed, 2 usage.
#pragma once

#include <cstdio>
#include <vector>

namespace glyphoria::tool {

constexpr int kExitDone = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitUsage = 2;

struct Subcommand {
    const char* name;     // first word on the command line
    const char* usage;    // "xml get FILE TAG" lines, one per form
    const char* summary;  // one line for --help
    // argv[0] is the subcommand's name.
    int (*run)(int argc, char** argv);
};

std::vector<Subcommand>& Subcommands();

struct SubcommandRegistrar {
    explicit SubcommandRegistrar(const Subcommand& command) { Subcommands().push_back(command); }
};

// Prints the subcommand's usage to standard error and returns kExitUsage.
int UsageError(const Subcommand& command, const char* why);

}  // namespace glyphoria::tool

#define GLYPHORIA_SUBCOMMAND(var, name, usage, summary, run)      \
    static const ::glyphoria::tool::SubcommandRegistrar var{     \
        ::glyphoria::tool::Subcommand{name, usage, summary, run}}
