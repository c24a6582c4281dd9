// glyphoria label: look inside frame labels and try arguments, and encode or
// decode label text, the way the plug-in does.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sampling/percent_codec.h"
#include "sampling/sampler_request.h"
#include "sampling/text_data.h"
#include "tools/glyphoria/subcommand.h"

namespace glyphoria::tool {
namespace {

int RunLabel(int argc, char** argv);

const Subcommand kLabel{
    "label",
    "  glyphoria label parse QUERY       key=value per line, in order\n"
    "  glyphoria label encode TEXT       percent-encode as labels store text\n"
    "  glyphoria label decode TEXT       percent-decode label text\n"
    "  glyphoria label url QUERY [--base URL] [--factor F]\n"
    "                                    the sampler URL of a record (no document:\n"
    "                                    default colours)\n",
    "frame labels: parse, encode, decode, sampler URL", RunLabel};

GLYPHORIA_SUBCOMMAND(label_registrar, kLabel.name, kLabel.usage, kLabel.summary, kLabel.run);

// Outside a document no swatch is known, so colours keep their defaults.
struct NoSwatches : SwatchSource {
    bool Describe(int, SwatchFacts*) const override { return false; }
};

int Parse(const char* query) {
    TextData record(query);
    if (record.PairCount() == 0) {
        std::fprintf(stderr, "glyphoria label: no key=value pairs (or 2048 bytes or more)\n");
        return kExitNotFound;
    }
    for (std::size_t i = 0; i < record.PairCount(); ++i)
        std::printf("%s=%s\n", record.KeyAt(i), record.ValueAt(i));
    return kExitDone;
}

int Encode(const char* text) {
    std::printf("%s\n", PercentEncode(text, std::strlen(text)).c_str());
    return kExitDone;
}

int Decode(const char* text) {
    // Decoding never lengthens the text: a buffer of its size holds it whole.
    std::vector<char> out(std::strlen(text) + 1);
    std::size_t n = PercentDecode(text, out.data(), out.size());
    std::fwrite(out.data(), 1, n, stdout);
    std::printf("\n");
    return kExitDone;
}

int Url(int argc, char** argv) {
    SamplerSettings settings;
    for (int i = 3; i < argc; i += 2) {
        if (i + 1 >= argc) return UsageError(kLabel, "option without a value");
        if (!std::strcmp(argv[i], "--base")) {
            settings.base_url = argv[i + 1];
        } else if (!std::strcmp(argv[i], "--factor")) {
            char* end = nullptr;
            settings.size_factor = std::strtof(argv[i + 1], &end);
            if (end == argv[i + 1] || *end) return UsageError(kLabel, "--factor needs a number");
        } else {
            return UsageError(kLabel, "unknown option");
        }
    }
    TextData record(argv[2]);
    const char* url = SamplerUrl(record, settings, NoSwatches());
    if (!url) {
        std::fprintf(stderr,
                     "glyphoria label: no URL (id missing or unusable, base over 255 bytes, or "
                     "2048 bytes or more)\n");
        return kExitNotFound;
    }
    std::printf("%s\n", url);
    return kExitDone;
}

int RunLabel(int argc, char** argv) {
    if (argc < 3) return UsageError(kLabel, "missing arguments");
    const char* verb = argv[1];
    if (!std::strcmp(verb, "url")) return Url(argc, argv);
    if (argc != 3) return UsageError(kLabel, "too many arguments");
    if (!std::strcmp(verb, "parse")) return Parse(argv[2]);
    if (!std::strcmp(verb, "encode")) return Encode(argv[2]);
    if (!std::strcmp(verb, "decode")) return Decode(argv[2]);
    return UsageError(kLabel, "unknown form");
}

}  // namespace
}  // namespace glyphoria::tool
