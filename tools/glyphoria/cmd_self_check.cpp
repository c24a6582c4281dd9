// glyphoria self-check: a quick look at whether the support services of this
// build work: both string tables, formats, the XML lookup, code pages and a
// preferences file written and read back in the temporary folder.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "platform/folders.h"
#include "platform/resources.h"
#include "support/file_utils.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#include "support/text_convert.h"
#include "support/xml_reader.h"
#include "tools/glyphoria/subcommand.h"

namespace glyphoria::tool {

namespace {

int RunSelfCheck(int argc, char** argv);

const char kUsage[] =
    "  glyphoria self-check   runs the checks, one line each; exit 1 if any fails\n";

GLYPHORIA_SUBCOMMAND(g_self_check, "self-check", kUsage,
                     "check the string tables, XML lookup and code pages of this build",
                     RunSelfCheck);

struct Tally {
    int run = 0;
    int failed = 0;

    void Report(const char* name, bool ok, const std::string& detail) {
        ++run;
        if (!ok) ++failed;
        std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", name, detail.c_str());
    }
};

std::string Text(const char* key) {
    char value[256];
    GetLocalizedText(key, value, sizeof value);
    return value;
}

bool LoadLanguage(unsigned short language) {
    platform::ResourceBytes table;
    if (!platform::FindModuleResourceLanguage("MyStrings", "xml", language, &table)) return false;
    return LoadStringsFromText(reinterpret_cast<const char*>(table.data)) == 0;
}

void CheckTable(Tally& tally, const char* name, unsigned short language, const char* yes,
                const char* missing_key) {
    if (!LoadLanguage(language)) {
        tally.Report(name, false, "table not found");
        return;
    }
    std::string text = Text("yes");
    std::string missing = Text(missing_key);
    bool ok = text == yes && missing == missing_key && Text("NOSELECTION") != "NOSELECTION";
    tally.Report(name, ok, "yes = \"" + text + "\", " + missing_key + " = \"" + missing + "\"");
}

void CheckStrings(Tally& tally) {
    CheckTable(tally, "strings-de", platform::kLangGerman, "Ja", "glyphoria1");
    CheckTable(tally, "strings-en", platform::kLangEnglishUS, "Yes", "invalidDLL");

    char formatted[512];
    FormatLocalizedUtf8(formatted, sizeof formatted, "about", "Glyphoria", "1.28");
    tally.Report("format", std::strcmp(formatted, "Glyphoria 1.28") == 0,
                 std::string("about = \"") + formatted + "\"");

    int loaded = LoadStrings();
    tally.Report("strings-load", loaded == 0,
                 "interface language table " + std::string(loaded == 0 ? "loaded" : "missing"));
    UnloadStrings();
}

void CheckXml(Tally& tally) {
    const char* doc =
        "<config><CartUrl>https://shop.example/cart?a=1&amp;b=2</CARTURL>"
        "<sampleSizeFactor>12px</sampleSizeFactor><flag>true</flag></config>";
    char value[256] = "";
    int length = GetElementText(doc, "cartUrl", value, sizeof value);
    bool ok = length > 0 && std::strcmp(value, "https://shop.example/cart?a=1&amp;b=2") == 0 &&
              GetElementInt(doc, "sampleSizeFactor", 0) == 12 && GetElementInt(doc, "flag", 0) == 1;
    tally.Report("xml", ok, std::string("cartUrl = \"") + value + "\"");
}

void CheckCodePages(Tally& tally) {
    // "Größe …" in Mac Roman, through UTF-16 and back.
    const char mac[] =
        "Gr\x9A\xA7"
        "e \xC9";
    WideText wide(mac, kEncodingMac);
    char back[32] = "";
    wide.ToBytes(back, sizeof back - 1, kEncodingMac);
    std::string utf8 = wide.ToUtf8();
    bool ok = std::strcmp(back, mac) == 0 && utf8 ==
                                                 "Gr\xC3\xB6\xC3\x9F"
                                                 "e \xE2\x80\xA6";
    tally.Report("code-pages", ok, "Mac Roman round trip \"" + utf8 + "\"");
}

void CheckPrefs(Tally& tally) {
    char path[kPathBufferSize] = "";
    std::random_device random;
    std::string name = "glyphoria-self-check-" + std::to_string(random()) + ".ini";
    if (!platform::GetShellFolder(platform::kFolderTemp, path, sizeof path) ||
        !AppendPathComponent(path, name.c_str())) {
        tally.Report("prefs", false, "no temporary folder");
        return;
    }
    const char* value = "https://shop.example/sampler?lang=de&x=\xC3\xA4";
    bool ok = false;
    {
        PrefsStore store;
        ok = store.Load(path) == 0 &&
             store.SetString(kGeneralSection, "mlSamplerUrl", value) == 0 && store.Save() == 0;
    }
    char back[kValueBufferSize] = "";
    if (ok) {
        PrefsStore store;
        ok = store.Load(path) == 0 &&
             store.GetString(kGeneralSection, "mlSamplerUrl", back, sizeof back) > 0 &&
             std::strcmp(back, value) == 0;
    }
    DeleteFileForce(path);
    tally.Report("prefs", ok, std::string("round trip through ") + path);
}

int RunSelfCheck(int argc, char**) {
    if (argc != 1) {
        for (const Subcommand& c : Subcommands()) {
            if (std::strcmp(c.name, "self-check") == 0) return UsageError(c, "takes no arguments");
        }
    }
    Tally tally;
    CheckStrings(tally);
    CheckXml(tally);
    CheckCodePages(tally);
    CheckPrefs(tally);
    if (tally.failed == 0) {
        std::printf("self-check: all %d checks passed\n", tally.run);
        return kExitDone;
    }
    std::printf("self-check: %d of %d checks failed\n", tally.failed, tally.run);
    return kExitNotFound;
}

}  // namespace

}  // namespace glyphoria::tool
