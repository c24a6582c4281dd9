#include "host/app/script.h"
#include "host/app/paths.h"

#include <algorithm>
#include <chrono>
#include <istream>
#include <ostream>
#include <thread>

namespace hostapp {

namespace {
std::vector<VerbInfo>& Verbs() {
    static std::vector<VerbInfo> verbs;
    return verbs;
}
}  // namespace

std::ostream& ScriptContext::Say() {
    return *out << "  ";
}

bool ScriptContext::Error(const std::string& why) {
    Say() << "error: " << why << "\n";
    return false;
}

std::string ScriptContext::Path(const std::string& p) const {
    if (p.empty() || IsAbsolutePath(p) || scriptDir.empty()) return p;
    return scriptDir + "/" + p;
}

void ScriptContext::PassTime(int milliseconds) {
    if (passTime)
        passTime(milliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

ScriptVerb::ScriptVerb(const char* name, const char* usage, ScriptVerbHandler handler) {
    Verbs().push_back(VerbInfo{name, usage, handler});
    std::sort(Verbs().begin(), Verbs().end(),
              [](const VerbInfo& a, const VerbInfo& b) { return a.name < b.name; });
}

const std::vector<VerbInfo>& ScriptVerbs() {
    return Verbs();
}

bool SplitScriptLine(const std::string& line, std::vector<std::string>* words) {
    words->clear();
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            size_t close = line.find('"', i + 1);
            if (close == std::string::npos) return false;
            word = line.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                word += line[i++];
        }
        words->push_back(word);
    }
    return true;
}

bool RunScriptLine(const std::string& raw, int number, ScriptContext& ctx) {
    std::string line = raw;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> words;
    bool split = SplitScriptLine(line, &words);
    if (split && (words.empty() || words[0][0] == '#')) return true;
    *ctx.out << "> " << line << "\n";
    if (!split) return ctx.Error("line " + std::to_string(number) + ": unterminated quote");
    auto verb = std::find_if(ScriptVerbs().begin(), ScriptVerbs().end(),
                             [&](const VerbInfo& v) { return v.name == words[0]; });
    if (verb == ScriptVerbs().end())
        return ctx.Error("line " + std::to_string(number) + ": unknown verb \"" + words[0] + "\"");
    std::vector<std::string> args(words.begin() + 1, words.end());
    return verb->handler(ctx, args);
}

bool RunScript(std::istream& in, ScriptContext& ctx) {
    std::string line;
    int number = 0;
    while (std::getline(in, line))
        if (!RunScriptLine(line, ++number, ctx)) return false;
    return true;
}

}  // namespace hostapp
