// glyphoria fetch: downloads an address the way the plug-in fetches whole
// documents (progress bar on a terminal, Ctrl-C cancels) and writes the bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/net.h"
#include "purchase/net_failure_text.h"
#include "purchase/transfer.h"
#include "support/file_utils.h"
#include "support/limits.h"
#include "support/string_table.h"
#include "tools/glyphoria/subcommand.h"
#include "tools/glyphoria/url_arguments.h"

namespace glyphoria::tool {
namespace {

int RunFetch(int argc, char** argv);

constexpr const char* kUsage =
    "  glyphoria fetch URL [-o FILE] [--cacert FILE]\n"
    "Writes the content to FILE (replaced whole) or to standard output. An answer\n"
    "with a status other than 2xx is a failure, and nothing is written; a failure\n"
    "says why on standard error.\n"
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
    if (int rc = ParseUrlArguments(Self(), argc, argv, "-o", &url, &out); rc != kExitDone)
        return rc;

    LoadStrings();
    std::size_t size = 0;
    platform::NetError error;
    char* data = DownloadUrl(url, &size, "downloading", &error);
    if (!data) {
        char reason[kMessageBufferSize];
        DescribeNetFailure(error, reason, sizeof reason);
        std::fprintf(stderr, "glyphoria fetch: %s: %s\n", url, reason);
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
