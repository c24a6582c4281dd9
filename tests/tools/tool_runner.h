// Runs the built glyphoria tool as a separate program, the way a user does,
// and returns its exit status and standard output. GLYPHORIA_TOOL_PATH comes
// from the build.
#pragma once

#include <string>
#include <vector>

#include "tests/common/test_env.h"

namespace glyphoria::testing {

struct ToolResult {
    int status;
    std::string out;
};

// Standard output is kept in dir; Windows line ends ("\r\n" from a text-mode
// stream) are read as "\n".
inline ToolResult RunTool(const TempDir& dir, const std::vector<std::string>& args) {
    const std::string out = dir.file("stdout.txt");
    int status = RunProgram(GLYPHORIA_TOOL_PATH, args, out);
    std::string text = ReadFileBytes(out);
    for (std::size_t pos; (pos = text.find("\r\n")) != std::string::npos;) text.erase(pos, 1);
    return {status, text};
}

}  // namespace glyphoria::testing
