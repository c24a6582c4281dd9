// Command-line form shared by the commands that fetch an address:
//   URL [OPTION FILE] [--cacert FILE]
// --cacert is applied at once (the net seam trusts that PEM file). Returns
// kExitDone with *url set (and *file when the option was given), or the
// usage error of the command.
#pragma once

#include <cstring>

#include "platform/net.h"
#include "tools/glyphoria/subcommand.h"

namespace glyphoria::tool {

inline int ParseUrlArguments(const Subcommand& command, int argc, char** argv,
                             const char* file_option, const char** url, const char** file) {
    for (int i = 1; i < argc; ++i) {
        const bool is_file_option = !std::strcmp(argv[i], file_option);
        if (is_file_option || !std::strcmp(argv[i], "--cacert")) {
            if (i + 1 >= argc) return UsageError(command, "option needs a FILE");
            const char* value = argv[++i];
            if (is_file_option)
                *file = value;
            else
                platform::SetTrustedCaFile(value);
        } else if (!*url) {
            *url = argv[i];
        } else {
            return UsageError(command, "one URL only");
        }
    }
    if (!*url) return UsageError(command, "URL missing");
    return kExitDone;
}

}  // namespace glyphoria::tool
