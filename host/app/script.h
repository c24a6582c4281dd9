// The host program's scripts: one host action per line, words separated by
// blanks, "double quotes" around words with blanks, "#" starting a comment
// line. Each line is echoed to the transcript as "> line" and answered by
// indented lines. A verb that fails writes "  error: ..." and stops the
// script.
//
// Verbs register themselves from any file linked into the program:
//
//     static hostapp::ScriptVerb verb("name", "usage text", &Handler);
//
// A handler returns false on failure (after writing why).
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace hostapp {

struct ScriptContext {
    std::ostream* out;
    std::string scriptDir;  // relative paths in a script are taken from here
    std::string docPath;    // the document the program loaded
    // Lets time pass for a verb that waits: with a window, its event loop
    // runs meanwhile; without one (empty), the thread sleeps.
    std::function<void(int milliseconds)> passTime;

    std::ostream& Say();  // an indented transcript line
    bool Error(const std::string& why);
    std::string Path(const std::string& p) const;
    void PassTime(int milliseconds);
};

typedef bool (*ScriptVerbHandler)(ScriptContext& ctx, const std::vector<std::string>& args);

class ScriptVerb {
  public:
    ScriptVerb(const char* name, const char* usage, ScriptVerbHandler handler);
};

struct VerbInfo {
    std::string name;
    std::string usage;
    ScriptVerbHandler handler;
};
const std::vector<VerbInfo>& ScriptVerbs();

// Words of one line; false for an unterminated quote.
bool SplitScriptLine(const std::string& line, std::vector<std::string>* words);
// Runs one line (comments and blank lines do nothing); false when its verb
// failed or the line cannot be read. number is for messages.
bool RunScriptLine(const std::string& line, int number, ScriptContext& ctx);
// Runs every line; true when all succeeded.
bool RunScript(std::istream& in, ScriptContext& ctx);

}  // namespace hostapp
