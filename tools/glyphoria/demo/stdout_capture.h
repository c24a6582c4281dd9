// While a session runs, the plug-in echoes every log message on standard
// output; the capture sends that into a file so the demo's own lines stay
// readable, and gives the demo a stream on the real standard output.
//
// Standard error is left alone: progress bars and message boxes appear there.
#pragma once

#include <cstdio>
#include <string>

namespace glyphoria::demo {

class StdoutCapture {
  public:
    // Appends standard output to path from now on. When the file cannot be
    // opened nothing is captured and active() is false.
    explicit StdoutCapture(const std::string& path);
    ~StdoutCapture();  // puts standard output back
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    bool active() const { return saved_fd_ >= 0; }
    // The real standard output while capturing, else stdout itself.
    std::FILE* terminal() const { return terminal_ ? terminal_ : stdout; }

  private:
    int saved_fd_ = -1;
    std::FILE* terminal_ = nullptr;
};

}  // namespace glyphoria::demo
