// The Mac preferences store over any file, then any edits written and read
// back. Input: two bytes for the file's length, the file (XML, binary or
// anything), then pairs of key and value, each ended by 0xFF.
//
// Checked: any file opens (damage gives an empty store); the getters and the
// description work on whatever it held; after setting the pairs and saving,
// the file opens again and answers every pair as set and still answers the
// keys the first file had: one odd value must not cost the user every
// other preference.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "fuzz/fuzz_input.h"
#include "mac/plist_prefs.h"

namespace {

const std::string& Folder() {
    return glyphoria::fuzz::ScratchFolder("glyphoria-plist-fuzz-");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    glyphoria::fuzz::FuzzInput in(data, size);
    const std::string file = in.Take(in.Word() % 8192);
    const std::string path = Folder() + "/Glyphoria.plist";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);

    glyphoria::mac::PlistPrefs prefs;
    prefs.Open(path, "");
    prefs.Describe();
    prefs.GetInt("tryFrame", 0);
    prefs.GetFloat("sampleSizeFactor", 1.0);
    const std::string kept = prefs.GetString("config", "\x01missing");

    std::map<std::string, std::string> set;
    while (!in.empty() && set.size() < 16) {
        const std::string key = glyphoria::fuzz::CString(in.Until('\xFF'));
        const std::string value = glyphoria::fuzz::CString(in.Until('\xFF'));
        if (key == "config") continue;
        prefs.SetString(key, value, false);
        set[key] = value;
    }
    if (!prefs.Save()) std::abort();

    glyphoria::mac::PlistPrefs again;
    again.Open(path, "");
    for (const auto& [key, value] : set) {
        if (again.GetString(key, "\x01missing") != value) {
            std::fprintf(stderr, "key \"%s\": value lost after saving\n", key.c_str());
            std::abort();
        }
    }
    if (again.GetString("config", "\x01missing") != kept) std::abort();
    unlink(path.c_str());
    return 0;
}
