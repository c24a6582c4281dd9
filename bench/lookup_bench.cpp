// String-table and XML lookups against a plain memmem scan of the same text
// for the same opening tag: how much the case-insensitive tag search and the
// table's copy and conversion cost over the fastest possible find.
//
// Texts: the English string table as shipped (first, middle, last and a
// missing key), the shop's configuration document, and the same document
// behind 100 KB of other elements (a search that has to walk far).
// Prints one ratio per lookup (lookup CPU time / memmem CPU time: the
// machine may be shared, and CPU time is what the lookups cost); informational,
// the program always succeeds.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "support/string_table.h"
#include "support/xml_reader.h"

namespace {

const char kConfig[] =
    "<glyphoria>\n"
    "  <cartUrl>http://127.0.0.1:18777/services/service.ashx?action=cart</cartUrl>\n"
    "  <mlSamplerUrl>http://127.0.0.1:18777/render</mlSamplerUrl>\n"
    "  <search>http://127.0.0.1:18777/glyphoria</search>\n"
    "  <homepage>http://127.0.0.1:18777/</homepage>\n"
    "  <sampleSizeFactor>1</sampleSizeFactor>\n"
    "</glyphoria>\n";

std::string LargeConfig() {
    std::string text = "<glyphoria>\n";
    while (text.size() < 100 * 1000)
        text += "  <padding>lorem ipsum dolor sit amet consectetur</padding>\n";
    return text + (kConfig + std::strlen("<glyphoria>\n"));
}

std::string TableText() {
    std::FILE* f = std::fopen(GLYPHORIA_STRING_TABLE, "rb");
    std::string text;
    if (!f) return text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        text.append(buf, n);
    std::fclose(f);
    return text;
}

struct Lookup {
    const char* name;  // for the table of ratios
    const std::string* text;
    const char* key;
    bool table;  // through the string table, else GetElementText
};

const std::string g_table = TableText();
const std::string g_config = kConfig;
const std::string g_large = LargeConfig();

const Lookup kLookups[] = {
    {"string table, first key", &g_table, "yes", true},
    {"string table, middle key", &g_table, "noselection", true},
    {"string table, last key", &g_table, "downloading", true},
    {"string table, missing key", &g_table, "missingKey", true},
    {"config, mlSamplerUrl", &g_config, "mlSamplerUrl", false},
    {"config, sampleSizeFactor", &g_config, "sampleSizeFactor", false},
    {"config behind 100 KB, homepage", &g_large, "homepage", false},
};

void BM_Lookup(benchmark::State& state) {
    const Lookup& l = kLookups[state.range(0)];
    char dest[256];
    for (auto _ : state) {
        if (l.table)
            glyphoria::GetLocalizedText(l.key, dest, sizeof dest);
        else
            glyphoria::GetElementText(l.text->c_str(), l.key, dest, sizeof dest);
        benchmark::DoNotOptimize(dest);
    }
}

void BM_Memmem(benchmark::State& state) {
    const Lookup& l = kLookups[state.range(0)];
    const std::string tag = std::string("<") + l.key + ">";
    for (auto _ : state) {
        const void* at = memmem(l.text->data(), l.text->size(), tag.data(), tag.size());
        benchmark::DoNotOptimize(at);
    }
}

void AllLookups(benchmark::internal::Benchmark* b) {
    for (std::size_t i = 0; i < sizeof kLookups / sizeof kLookups[0]; ++i)
        b->Arg(static_cast<int>(i));
}

BENCHMARK(BM_Lookup)->Apply(AllLookups);
BENCHMARK(BM_Memmem)->Apply(AllLookups);

// Keeps each run's time per iteration by name ("BM_Lookup/3").
class Collector : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    if (g_table.empty()) {
        std::fprintf(stderr, "cannot read %s\n", GLYPHORIA_STRING_TABLE);
        return 1;
    }
    glyphoria::LoadStringsFromText(g_table.c_str());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    std::printf("lookup time / memmem time of the same tag in the same text\n");
    for (std::size_t i = 0; i < sizeof kLookups / sizeof kLookups[0]; ++i) {
        const std::string arg = "/" + std::to_string(i);
        const double ours = collector.times["BM_Lookup" + arg];
        const double plain = collector.times["BM_Memmem" + arg];
        if (ours > 0 && plain > 0)
            std::printf("  ratio %s: %.2f\n", kLookups[i].name, ours / plain);
    }
    return 0;
}
