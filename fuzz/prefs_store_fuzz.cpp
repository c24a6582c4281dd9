// The INI preferences store over any file and any sequence of edits.
// Input: two bytes for the file's length, the file, then operations, each an
// opcode byte and its strings (ended by 0xFF):
//   0 GetString(section, key)   1 SetString(section, key, value)
//   2 Save                      3 Save, then Load the file again
// Sections and keys come mostly from a small set, so edits meet each other.
//
// Checked: every accepted SetString is answered by GetString at once, after
// every Save and after every reload, with exactly the value set; a Save that
// reports success wrote a file that answers so; the store never reads or
// writes outside its text.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "fuzz/fuzz_input.h"
#include "support/prefs_store.h"

namespace {

using glyphoria::fuzz::CString;
using glyphoria::fuzz::FuzzInput;

const char* const kSections[] = {"General", "general", "Other", "Gen", "General "};
const char* const kKeys[] = {"mlSamplerUrl", "tryFrame", "a", "ab", "b", "key=", "[x", ""};

std::string Pick(FuzzInput& in, const char* const* names, std::size_t count) {
    const std::uint8_t b = in.Byte();
    if (b < 0xC0) return names[b % count];
    return CString(in.Until('\xFF'));
}

const std::string& Folder() {
    return glyphoria::fuzz::ScratchFolder("glyphoria-prefs-fuzz-");
}

using Model = std::map<std::pair<std::string, std::string>, std::string>;

void Expect(const glyphoria::PrefsStore& store, const Model& model) {
    static char buffer[70000];
    for (const auto& [where, value] : model) {
        const int n =
            store.GetString(where.first.c_str(), where.second.c_str(), buffer, sizeof buffer);
        if (n != static_cast<int>(value.size()) || value != buffer) {
            std::fprintf(stderr, "[%s] %s: want \"%s\", got %d \"%s\"\n", where.first.c_str(),
                         where.second.c_str(), value.c_str(), n, n >= 0 ? buffer : "");
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::string file = in.Take(in.Word() % 4096);
    const std::string path = Folder() + "/prefs.ini";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);

    glyphoria::PrefsStore store;
    if (store.Load(path.c_str()) != 0) std::abort();
    Model model;
    char buffer[300];
    for (int ops = 0; !in.empty() && ops < 64; ++ops) {
        switch (in.Byte() % 4) {
            case 0: {
                const std::string section = Pick(in, kSections, 5);
                const std::string key = Pick(in, kKeys, 8);
                store.GetString(section.c_str(), key.c_str(), buffer, sizeof buffer);
                break;
            }
            case 1: {
                const std::string section = Pick(in, kSections, 5);
                const std::string key = Pick(in, kKeys, 8);
                const std::string value = CString(in.Until('\xFF'));
                if (store.SetString(section.c_str(), key.c_str(), value.c_str()) == 0)
                    model[{section, key}] = value;
                Expect(store, model);
                break;
            }
            case 2:
                if (store.Save() != 0) std::abort();
                Expect(store, model);
                break;
            case 3:
                if (store.Save() != 0) std::abort();
                if (store.Load(path.c_str()) != 0) std::abort();
                Expect(store, model);
                break;
        }
    }
    unlink(path.c_str());
    return 0;
}
