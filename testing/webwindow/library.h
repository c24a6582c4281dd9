// What the exported entries of a web-window library (exports.cpp,
// webwindow_api.h) drive. Each form of the library defines TheLibrary() to
// return its one instance, which lives until the process ends.
#pragma once

#include <cstdint>
#include <string>

namespace glyphoria::testing::webwindow {

// The interface version both forms answer to "version" unless told otherwise.
constexpr int32_t kInterfaceVersion = 28;

class WebWindowLibrary {
  public:
    virtual int32_t Command(const char* command, intptr_t argument) = 0;
    virtual int32_t Act(const char* action, const char* argument) = 0;
    virtual int32_t Control(const char* setting, const char* value) = 0;
    virtual std::string Record() const = 0;

  protected:
    ~WebWindowLibrary() = default;
};

WebWindowLibrary& TheLibrary();

}  // namespace glyphoria::testing::webwindow
