// Script verb "web": the user's hands on the web window that a plug-in shows
// through the web-window library beside it. The verb drives the library's
// test entries (glyphoria_webwindow_act, _record, _control), so a script can
// press "try" on the sampler page, revert, buy, or read what passed.
//
// The library is the one beside a loaded plug-in module (its name with the
// platform's library extension), which the plug-in itself loads; loading it
// again only adds a reference to the same library. "web load PATH" names
// another one.
#include <cstdint>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "host/app/plugin_loader.h"
#include "host/app/script.h"
#include "platform/library.h"
#include "platform/path_style.h"
#include "testing/webwindow/webwindow_api.h"

namespace hostapp {

namespace {

namespace platform = glyphoria::platform;

void*& Library() {
    static void* library = nullptr;
    return library;
}

std::string BesideModule(const std::string& module) {
    size_t slash = module.rfind('/');
    size_t dot = module.rfind('.');
    std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                           ? module.substr(0, dot)
                           : module;
    return stem + platform::kSharedLibraryExtension;
}

void* FindLibrary() {
    if (Library()) return Library();
    for (const std::string& module : LoadedPlugInModules()) {
        void* library = platform::LoadLibraryUtf8(BesideModule(module).c_str());
        if (library && platform::FindExport(library, "glyphoria_webwindow_act")) {
            Library() = library;
            break;
        }
        platform::FreeLibraryHandle(library);
    }
    return Library();
}

template <class Proc>
Proc Entry(const char* name) {
    void* library = FindLibrary();
    return library ? reinterpret_cast<Proc>(platform::FindExport(library, name)) : nullptr;
}

std::vector<std::string> RecordLines() {
    auto record = Entry<GlyphoriaWebWindowRecord>("glyphoria_webwindow_record");
    if (!record) return {};
    std::string text(record(nullptr, 0) + 1, '\0');
    text.resize(record(&text[0], text.size()));
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

// The last record line of a kind, split into its fields.
std::vector<std::string> LastOf(const std::string& kind) {
    std::vector<std::string> lines = RecordLines();
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        std::vector<std::string> fields = Fields(*it);
        if (!fields.empty() && fields[0] == kind) return fields;
    }
    return {};
}

// Script words for the library's action names.
const std::map<std::string, std::string>& ActionNames() {
    static const std::map<std::string, std::string> names = {
        {"try", "try"},
        {"revert", "revert"},
        {"homepage", "homepage"},
        {"buy", "buy"},
        {"new-window", "newWindow"},
        {"pref", "prefString"},
        {"lang", "langString"},
        {"set-pref", "setPrefString"},
        {"host-window", "hostWnd"},
        {"call", "call"},
        {"wait", "wait"},
        {"snapshot", "snapshot"},
    };
    return names;
}

bool Act(ScriptContext& ctx, const std::string& word, const std::vector<std::string>& args) {
    auto act = Entry<GlyphoriaWebWindowAct>("glyphoria_webwindow_act");
    if (!act) return ctx.Error("no web-window library beside a loaded plug-in");
    const std::string& action = ActionNames().at(word);
    // A picture's file is named like every file of a script: from its folder.
    const std::string file = word == "snapshot" && args.size() > 1 ? ctx.Path(args[1]) : "";
    const char* argument =
        args.size() > 1 ? (file.empty() ? args[1].c_str() : file.c_str()) : nullptr;
    std::int32_t result = act(action.c_str(), argument);
    if (result == -1) {
        std::vector<std::string> note = LastOf("note");
        return ctx.Error("web " + word + ": not possible" +
                         (note.size() > 1 ? " (" + note[1] + ")" : std::string()));
    }
    ctx.Say() << "web " << word << (argument ? " " + args[1] : std::string()) << ": " << result;
    if (action == "prefString" || action == "langString") {
        std::vector<std::string> call = LastOf("callback");
        if (call.size() > 4) *ctx.out << " \"" << call[4] << "\"";
    }
    *ctx.out << "\n";
    return true;
}

bool Web(ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.empty()) return ctx.Error("usage: web ACTION [ARGUMENT]");
    const std::string& word = args[0];
    if (word == "load") {
        if (args.size() != 2) return ctx.Error("usage: web load LIBRARY");
        void* library = platform::LoadLibraryUtf8(ctx.Path(args[1]).c_str());
        if (!library || !platform::FindExport(library, "glyphoria_webwindow_act"))
            return ctx.Error("not a web-window library: " + args[1]);
        Library() = library;
        ctx.Say() << "web-window library " << args[1] << "\n";
        return true;
    }
    if (word == "record") {
        if (!FindLibrary()) return ctx.Error("no web-window library beside a loaded plug-in");
        for (const std::string& line : RecordLines())
            ctx.Say() << line << "\n";
        return true;
    }
    if (word == "control") {
        if (args.size() < 2 || args.size() > 3)
            return ctx.Error("usage: web control SETTING [VALUE]");
        auto control = Entry<GlyphoriaWebWindowControl>("glyphoria_webwindow_control");
        if (!control) return ctx.Error("no web-window library beside a loaded plug-in");
        const char* value = args.size() == 3 ? args[2].c_str() : nullptr;
        if (!control(args[1].c_str(), value)) return ctx.Error("unknown setting " + args[1]);
        ctx.Say() << "web control " << args[1] << (value ? " " + args[2] : std::string()) << "\n";
        return true;
    }
    if (!ActionNames().count(word)) return ctx.Error("unknown web action \"" + word + "\"");
    if (args.size() > 2) return ctx.Error("usage: web " + word + " [ARGUMENT]");
    return Act(ctx, word, args);
}

ScriptVerb gWeb("web",
                "web ACTION [ARG]     act on the plug-in's web window: try ID, revert, homepage,\n"
                "                       buy [SELECTOR], new-window ADDRESS, pref KEY[=INITIAL],\n"
                "                       lang KEY[=INITIAL], set-pref KEY=VALUE, host-window,\n"
                "                       call COMMAND[=TEXT], record, control SETTING [VALUE],\n"
                "                       load LIBRARY; with a real window also wait (for the\n"
                "                       page) and snapshot FILE.png (the page as shown)",
                Web);

}  // namespace

}  // namespace hostapp
