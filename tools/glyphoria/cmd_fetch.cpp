// glyphoria fetch: downloads an address the way the plug-in fetches whole
// documents (progress bar on a terminal, Ctrl-C cancels) and writes the bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/net.h"
#include "purchase/transfer.h"
#include "support/file_utils.h"
#include "support/string_table.h"
#include "tools/glyphoria/subcommand.h"

namespace glyphoria::tool {
namespace {

int RunFetch(int argc, char** argv);

constexpr const char* kUsage =
    "  glyphoria fetch URL [-o FILE] [--cacert FILE]\n"
    "Writes the content to FILE (replaced whole) or to standard output.\n"
    "--cacert trusts the certificates of a PEM file instead of the system's.\n";

GLYPHORIA_SUBCOMMAND(kFetchCommand, "fetch", kUsage, "download an address with progress", RunFetch);

const Subcommand& Self() {
    static const Subcommand self{"fetch", kUsage, "", RunFetch};
    return self;
}

bool WriteToStdout(const char* bytes, std::size_t size) {
    return std::fwrite(bytes, 1, size, stdout) == size && std::fflush(stdout) == 0;
}

int RunFetch(int argc, char** argv) {
    const char* url = nullptr;
    const char* out = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-o") || !std::strcmp(argv[i], "--cacert")) {
            if (i + 1 >= argc) return UsageError(Self(), "option needs a FILE");
            if (argv[i][1] == 'o')
                out = argv[++i];
            else
                platform::SetTrustedCaFile(argv[++i]);
        } else if (!url) {
            url = argv[i];
        } else {
            return UsageError(Self(), "one URL only");
        }
    }
    if (!url) return UsageError(Self(), "URL missing");

    LoadStrings();
    std::size_t size = 0;
    char* data = DownloadUrl(url, &size, "downloading");
    if (!data) {
        std::fprintf(stderr, "glyphoria fetch: %s: failed or cancelled\n", url);
        return kExitNotFound;
    }
    bool written = out ? WriteWholeFileAtomic(out, data, size) : WriteToStdout(data, size);
    std::free(data);
    if (!written) {
        std::fprintf(stderr, "glyphoria fetch: cannot write %s\n", out ? out : "standard output");
        return kExitNotFound;
    }
    return kExitDone;
}

}  // namespace
}  // namespace glyphoria::tool
