// glyphoria-host: the stand-in host program. Loads a document, loads the
// plug-in modules of a folder, starts them, runs a script of host actions
// or renders a picture, and shuts the plug-ins down at the end.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "host/app/doc_io.h"
#include "host/app/paths.h"
#include "host/app/plugin_loader.h"
#include "host/app/render.h"
#include "host/app/script.h"
#include "host/core/document.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"

namespace {

const char kUsage[] =
    "usage: glyphoria-host DOCUMENT.json [options]\n"
    "  --render OUT.png     picture of a spread (after the script, if any)\n"
    "  --spread N           which spread to render, from 1 (default 1)\n"
    "  --scale S            pixels per point (default 1)\n"
    "  --script FILE        run the host actions of FILE ('-' for standard input)\n"
    "  --plugins DIR        load the plug-in modules (*.pln) of DIR and start them\n"
    "  --help               this text and the script verbs\n";

void PrintHelp() {
    std::cout << kUsage << "\nscript verbs:\n";
    for (const hostapp::VerbInfo& v : hostapp::ScriptVerbs())
        std::cout << "  " << v.usage << "\n";
}

struct Options {
    std::string doc, render, script, plugins;
    int spread = 1;
    double scale = 1;
};

bool ParseArgs(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= argc) return false;
            *out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--render") {
            if (!value(&o->render)) return false;
        } else if (a == "--script") {
            if (!value(&o->script)) return false;
        } else if (a == "--plugins") {
            if (!value(&o->plugins)) return false;
        } else if (a == "--spread") {
            if (!value(&v)) return false;
            o->spread = std::atoi(v.c_str());
        } else if (a == "--scale") {
            if (!value(&v)) return false;
            o->scale = std::atof(v.c_str());
        } else if (!a.empty() && a[0] != '-' && o->doc.empty()) {
            o->doc = a;
        } else {
            return false;
        }
    }
    return !o->doc.empty();
}

std::string DirOf(const std::string& path) {
    size_t slash = hostapp::LastSeparator(path);
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

int Run(const Options& o) {
    hostcore::DocModel model;
    std::string error;
    if (!hostapp::LoadDocumentFile(o.doc, &model, &error)) {
        std::cerr << "glyphoria-host: " << o.doc << ": " << error << "\n";
        return 1;
    }
    hostcore::OpenDocument(std::move(model));
    if (!o.plugins.empty()) {
        std::vector<std::string> errors;
        int loaded = hostapp::LoadPlugInFolder(o.plugins, &errors);
        for (const std::string& e : errors)
            std::cerr << "glyphoria-host: " << e << "\n";
        std::cout << "loaded " << loaded << " plug-in(s)\n";
    }
    hostcore::StartupPlugIns();
    bool ok = true;
    if (!o.script.empty()) {
        hostapp::ScriptContext ctx{&std::cout, DirOf(o.script), o.doc};
        if (o.script == "-") {
            ctx.scriptDir = "";
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
    if (ok && !o.render.empty()) {
        hostapp::RenderOptions ro;
        ro.spread = o.spread - 1;
        ro.scale = o.scale;
        if (!hostapp::RenderSpreadToPng(hostcore::FrontDocument()->Model(), ro, o.render, &error)) {
            std::cerr << "glyphoria-host: " << error << "\n";
            ok = false;
        }
    }
    hostcore::ShutdownPlugIns();
    hostcore::CloseAllDocuments();
    hostapp::UnloadPlugInModules();
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return 0;
        }
    }
    Options o;
    if (!ParseArgs(argc, argv, &o)) {
        std::cerr << kUsage;
        return 2;
    }
    return Run(o);
}
