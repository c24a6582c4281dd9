#include "tools/glyphoria/demo/stdout_capture.h"

#include <fcntl.h>
#include <unistd.h>

namespace glyphoria::demo {

StdoutCapture::StdoutCapture(const std::string& path) {
    std::fflush(stdout);
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (file < 0) return;
    const int saved = dup(STDOUT_FILENO);
    const int copy = saved >= 0 ? dup(saved) : -1;
    std::FILE* terminal = copy >= 0 ? fdopen(copy, "w") : nullptr;
    if (!terminal || dup2(file, STDOUT_FILENO) < 0) {
        if (terminal)
            std::fclose(terminal);
        else if (copy >= 0)
            close(copy);
        if (saved >= 0) close(saved);
        close(file);
        return;
    }
    close(file);
    saved_fd_ = saved;
    terminal_ = terminal;
}

StdoutCapture::~StdoutCapture() {
    if (saved_fd_ < 0) return;
    std::fflush(stdout);
    std::fflush(terminal_);
    dup2(saved_fd_, STDOUT_FILENO);
    close(saved_fd_);
    std::fclose(terminal_);
}

}  // namespace glyphoria::demo
