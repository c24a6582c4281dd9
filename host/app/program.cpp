#include "host/app/program.h"

#include <cstdlib>
#include <iostream>
#include <vector>

#include "host/app/doc_io.h"
#include "host/app/paths.h"
#include "host/app/plugin_loader.h"
#include "host/app/render.h"
#include "host/app/script.h"
#include "host/core/document.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"

namespace hostapp {

const char kProgramUsage[] =
    "usage: glyphoria-host DOCUMENT.json [options]\n"
    "  --render OUT.png     picture of a spread (after the script, if any)\n"
    "  --spread N           which spread to render, from 1 (default 1)\n"
    "  --scale S            pixels per point (default 1)\n"
    "  --script FILE        run the host actions of FILE ('-' for standard input)\n"
    "  --plugins DIR        load the plug-in modules (*.pln) of DIR and start them\n"
    "  --window             show the layout window; the script, if any, drives it\n"
    "                       (glyphoria-host --window --help: its verbs too)\n"
    "  --help               this text and the script verbs\n";

bool ParseProgramArgs(int argc, char** argv, ProgramOptions* o) {
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
        } else if (a == "--window") {
            o->window = true;
        } else if (!a.empty() && a[0] != '-' && o->doc.empty()) {
            o->doc = a;
        } else {
            return false;
        }
    }
    return !o->doc.empty();
}

void PrintProgramHelp() {
    std::cout << kProgramUsage << "\nscript verbs:\n";
    for (const VerbInfo& v : ScriptVerbs())
        std::cout << "  " << v.usage << "\n";
}

int ReadProgramCommandLine(int argc, char** argv, ProgramOptions* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            PrintProgramHelp();
            return 0;
        }
    }
    if (ParseProgramArgs(argc, argv, options)) return -1;
    std::cerr << kProgramUsage;
    return 2;
}

bool OpenProgramDocument(const ProgramOptions& o) {
    hostcore::DocModel model;
    std::string error;
    if (!LoadDocumentFile(o.doc, &model, &error)) {
        std::cerr << "glyphoria-host: " << o.doc << ": " << error << "\n";
        return false;
    }
    hostcore::OpenDocument(std::move(model));
    return true;
}

void LoadProgramPlugIns(const ProgramOptions& o) {
    if (o.plugins.empty()) return;
    std::vector<std::string> errors;
    int loaded = LoadPlugInFolder(o.plugins, &errors);
    for (const std::string& e : errors)
        std::cerr << "glyphoria-host: " << e << "\n";
    std::cout << "loaded " << loaded << " plug-in(s)\n";
}

std::string ScriptFolder(const ProgramOptions& o) {
    if (o.script == "-") return "";
    size_t slash = LastSeparator(o.script);
    return slash == std::string::npos ? "" : o.script.substr(0, slash);
}

bool RenderProgramPicture(const ProgramOptions& o) {
    if (o.render.empty()) return true;
    hostcore::Document* doc = hostcore::FrontDocument();
    if (!doc) {
        std::cerr << "glyphoria-host: no document is open\n";
        return false;
    }
    RenderOptions ro;
    ro.spread = o.spread - 1;
    ro.scale = o.scale;
    std::string error;
    if (!RenderSpreadToPng(doc->Model(), ro, o.render, &error)) {
        std::cerr << "glyphoria-host: " << error << "\n";
        return false;
    }
    return true;
}

void EndProgram() {
    hostcore::ShutdownPlugIns();
    hostcore::CloseAllDocuments();
    UnloadPlugInModules();
}

}  // namespace hostapp
