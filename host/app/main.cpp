// glyphoria-host: the stand-in host program. Loads a document, loads the
// plug-in modules of a folder, starts them, runs a script of host actions
// or renders a picture, and shuts the plug-ins down at the end.
//
// --window hands the whole run to the layout window, a module beside the
// program (glyphoria-host-window.so): the window system is loaded only when
// a window is asked for, so the headless program starts as fast as ever.
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "host/app/paths.h"
#include "host/app/program.h"
#include "host/app/script.h"
#include "host/core/framework.h"
#include "platform/library.h"
#include "platform/path_style.h"
#include "platform/process.h"

namespace {

typedef int (*WindowMain)(int argc, char** argv);

int RunInWindow(int argc, char** argv) {
    char program[4096];
    std::string module;
    if (glyphoria::platform::ExecutablePath(program, sizeof program)) {
        std::string path = program;
        size_t slash = hostapp::LastSeparator(path);
        module = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
                 "glyphoria-host-window" + glyphoria::platform::kSharedLibraryExtension;
    }
    void* library = module.empty() ? nullptr : glyphoria::platform::LoadLibraryUtf8(module.c_str());
    auto entry = library ? reinterpret_cast<WindowMain>(glyphoria::platform::FindExport(
                               library, "glyphoria_host_window_main"))
                         : nullptr;
    if (!entry) {
        std::cerr << "glyphoria-host: the layout window is not available in this build ("
                  << (module.empty() ? "no program path" : module) << ": "
                  << glyphoria::platform::LastLibraryError() << ")\n";
        return 1;
    }
    // The module stays loaded: the window system it brought in cannot be
    // unloaded cleanly.
    return entry(argc, argv);
}

int Run(const hostapp::ProgramOptions& o) {
    if (!hostapp::OpenProgramDocument(o)) return 1;
    hostapp::LoadProgramPlugIns(o);
    hostcore::StartupPlugIns();
    bool ok = true;
    if (!o.script.empty()) {
        hostapp::ScriptContext ctx{&std::cout, hostapp::ScriptFolder(o), o.doc};
        if (o.script == "-") {
            ok = hostapp::RunScript(std::cin, ctx);
        } else {
            std::ifstream in(o.script);
            if (!in) {
                std::cerr << "glyphoria-host: cannot read " << o.script << "\n";
                ok = false;
            } else {
                ok = hostapp::RunScript(in, ctx);
            }
        }
    }
    if (ok) ok = hostapp::RenderProgramPicture(o);
    hostapp::EndProgram();
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--window") == 0) return RunInWindow(argc, argv);
    hostapp::ProgramOptions o;
    const int status = hostapp::ReadProgramCommandLine(argc, argv, &o);
    return status >= 0 ? status : Run(o);
}
