// glyphoria xml: looks tags up in an XML file the way the plug-in does (tag
// search, raw text, no entity decoding).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/file_utils.h"
#include "support/limits.h"
#include "support/xml_reader.h"
#include "tools/glyphoria/subcommand.h"

namespace glyphoria::tool {

namespace {

int RunXml(int argc, char** argv);

const char kUsage[] =
    "  glyphoria xml get FILE TAG    the text of the first element TAG (at most 255 bytes)\n"
    "  glyphoria xml each FILE TAG   every element TAG, one per line (CR, LF shown as \\r, \\n)\n";

GLYPHORIA_SUBCOMMAND(g_xml, "xml", kUsage, "look up elements of an XML file by tag", RunXml);

const Subcommand& Self() {
    for (const Subcommand& c : Subcommands()) {
        if (std::strcmp(c.name, "xml") == 0) return c;
    }
    return Subcommands().front();  // unreachable: this file registered it
}

// Line ends inside an element are escaped so that each element is one line.
bool PrintElement(const char* element, std::size_t length, void* context) {
    for (std::size_t i = 0; i < length; ++i) {
        if (element[i] == '\n') {
            std::fputs("\\n", stdout);
        } else if (element[i] == '\r') {
            std::fputs("\\r", stdout);
        } else {
            std::putchar(static_cast<unsigned char>(element[i]));
        }
    }
    std::putchar('\n');
    ++*static_cast<int*>(context);
    return true;
}

int RunXml(int argc, char** argv) {
    if (argc != 4) return UsageError(Self(), "expected an action, a file and a tag");
    const bool get = std::strcmp(argv[1], "get") == 0;
    const bool each = std::strcmp(argv[1], "each") == 0;
    if (!get && !each) return UsageError(Self(), "unknown action");

    int status = kReadOk;
    char* text = ReadWholeFile(argv[2], nullptr, &status);
    if (!text) {
        std::fprintf(stderr, "glyphoria xml: cannot read %s\n", argv[2]);
        return kExitNotFound;
    }
    int result = kExitNotFound;
    if (get) {
        char value[kValueBufferSize];
        if (GetElementText(text, argv[3], value, sizeof value) > 0) {
            std::printf("%s\n", value);
            result = kExitDone;
        }
    } else {
        int visited = 0;
        ForEachElement(text, argv[3], PrintElement, &visited);
        if (visited > 0) result = kExitDone;
    }
    std::free(text);
    return result;
}

}  // namespace

}  // namespace glyphoria::tool
