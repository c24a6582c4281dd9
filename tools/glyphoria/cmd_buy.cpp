// glyphoria buy: runs the cart's "doBuy" on an address with a given
// preferences file and prints the answer the web-window library would get
// (1 taken over, 0 left to the library).
#include <cstdio>
#include <cstring>

#include "platform/net.h"
#include "purchase/net_failure_text.h"
#include "purchase/purchase_download.h"
#include "support/limits.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#include "tools/glyphoria/subcommand.h"
#include "tools/glyphoria/url_arguments.h"

namespace glyphoria::tool {
namespace {

int RunBuy(int argc, char** argv);

constexpr const char* kUsage =
    "  glyphoria buy URL --prefs FILE [--cacert FILE]\n"
    "Saves a font archive into the preference downloadFolder (section General),\n"
    "or the user's downloads folder when it is empty, beside a file of the same\n"
    "name under a free one (\"Fonts (2).zip\"). Prints 1 when the address was\n"
    "taken over, 0 when not; standard error says where the archive went or why\n"
    "it did not. Exit status 0 when the archive was saved, 1 when not.\n";

GLYPHORIA_SUBCOMMAND(kBuyCommand, "buy", kUsage, "take over a font download link", RunBuy);

const Subcommand& Self() {
    static const Subcommand self{"buy", kUsage, "", RunBuy};
    return self;
}

int RunBuy(int argc, char** argv) {
    const char* url = nullptr;
    const char* prefs = nullptr;
    if (int rc = ParseUrlArguments(Self(), argc, argv, "--prefs", &url, &prefs); rc != kExitDone)
        return rc;
    if (!prefs) return UsageError(Self(), "--prefs FILE missing");
    if (Prefs().Load(prefs) != 0) {
        std::fprintf(stderr, "glyphoria buy: cannot read %s\n", prefs);
        return kExitNotFound;
    }
    LoadStrings();
    BuyOutcome outcome;
    int taken = DoBuy(url, &outcome);
    std::printf("%d\n", taken);
    std::fflush(stdout);
    if (!outcome.saved_path.empty()) {
        std::fprintf(stderr, "glyphoria buy: saved %s\n", outcome.saved_path.c_str());
        return kExitDone;
    }
    if (outcome.error.failure != platform::NetFailure::kNone) {
        char reason[kMessageBufferSize];
        DescribeNetFailure(outcome.error, reason, sizeof reason);
        std::fprintf(stderr, "glyphoria buy: %s: %s\n", url, reason);
    }
    return kExitNotFound;
}

}  // namespace
}  // namespace glyphoria::tool
