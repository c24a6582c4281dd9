// The host program's command line and the steps every form of it takes:
// open the document, load and start the plug-ins, run the script, render,
// shut down. The headless program (main.cpp) runs them straight; the window
// form (host/window/) runs the same steps around its event loop. Messages go
// to standard error prefixed "glyphoria-host: ", transcripts to standard
// output.
#pragma once

#include <string>

namespace hostapp {

struct ProgramOptions {
    std::string doc, render, script, plugins;
    int spread = 1;  // from 1
    double scale = 1;
    bool window = false;
};

extern const char kProgramUsage[];

// false for a command line that is not understood (no document, unknown or
// incomplete option).
bool ParseProgramArgs(int argc, char** argv, ProgramOptions* options);
// The usage text and the script verbs this program knows.
void PrintProgramHelp();
// -1 when the program is to run with *options; else its exit status after
// the help (--help: 0) or the usage (a line not understood: 2).
int ReadProgramCommandLine(int argc, char** argv, ProgramOptions* options);

// Opens the document as the front document; false (after saying why) when it
// cannot be read.
bool OpenProgramDocument(const ProgramOptions& options);
// Loads the plug-in modules of --plugins, if given, and says how many.
void LoadProgramPlugIns(const ProgramOptions& options);
// The folder relative script paths are taken from ("" for standard input).
std::string ScriptFolder(const ProgramOptions& options);
// Writes --render, if given, from the front document; false after saying why.
bool RenderProgramPicture(const ProgramOptions& options);
// Plug-ins shut down (if still running), documents closed, modules unloaded.
void EndProgram();

}  // namespace hostapp
