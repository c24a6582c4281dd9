// Script verb "mac": the user's hands on the windows of a loaded plug-in
// module that shows its own windows (the Mac form, which exports
// glyphoria_mac_act and glyphoria_mac_record): follow a link of its pages,
// click its controls, press keys, answer its folder chooser. The words after
// the action are its argument (see the module's mac/plugin/mac_script.h).
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "host/app/plugin_loader.h"
#include "host/app/script.h"
#include "platform/library.h"

namespace hostapp {

namespace {

namespace platform = glyphoria::platform;

using ActProc = std::int32_t (*)(const char* action, const char* argument);
using RecordProc = std::int32_t (*)(char* buffer, std::int32_t size);

// The export of the first loaded module that has it; the module's own
// handle stays with the loader, this one only adds a reference.
void* Export(const char* name) {
    for (const std::string& module : LoadedPlugInModules()) {
        void* library = platform::LoadLibraryUtf8(module.c_str());
        void* entry = library ? platform::FindExport(library, name) : nullptr;
        if (library) platform::FreeLibraryHandle(library);
        if (entry) return entry;
    }
    return nullptr;
}

std::vector<std::string> RecordLines() {
    auto record = reinterpret_cast<RecordProc>(Export("glyphoria_mac_record"));
    std::vector<std::string> lines;
    if (!record) return lines;
    std::string text(static_cast<std::size_t>(record(nullptr, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(record(&text[0], static_cast<std::int32_t>(text.size()))));
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool Mac(ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.empty()) return ctx.Error("usage: mac ACTION [ARGUMENT...]");
    if (args[0] == "record") {
        for (const std::string& line : RecordLines())
            ctx.Say() << line << "\n";
        return true;
    }
    auto act = reinterpret_cast<ActProc>(Export("glyphoria_mac_act"));
    if (!act) return ctx.Error("no loaded plug-in shows Mac windows");
    // A picture's file is named from the script's folder, as other verbs' files are.
    std::vector<std::string> words = args;
    const bool snapshot = words[0] == "snapshot" ||
                          (words.size() > 1 && words[0] == "modal" && words[1] == "snapshot");
    if (snapshot && words.size() > 2) words.back() = ctx.Path(words.back());
    std::string argument;
    for (std::size_t i = 1; i < words.size(); ++i)
        argument += (i > 1 ? " " : "") + words[i];
    const std::int32_t answer = act(args[0].c_str(), argument.c_str());
    if (answer == -1) {
        std::string why;
        for (const std::string& line : RecordLines())
            if (line.rfind("note\t", 0) == 0) why = line.substr(5);
        return ctx.Error("mac " + args[0] + ": not possible" +
                         (why.empty() ? "" : " (" + why + ")"));
    }
    ctx.Say() << "mac " << args[0] << (argument.empty() ? "" : " " + argument) << ": " << answer
              << "\n";
    return true;
}

ScriptVerb gMac("mac",
                "mac ACTION [ARG...]  act on the Mac form's windows: try ID, revert, homepage,\n"
                "                       cart, link PANE WHICH, click PANE ID, key PANE CHORD,\n"
                "                       close PANE, page PANE, snapshot PANE FILE, folder [PATH],\n"
                "                       modal ACTION [ARG], wait MS, vendor SERVER, record",
                Mac);

}  // namespace

}  // namespace hostapp
