// The designer's hands on the sampler page: the stand-in web-window library
// beside the plug-in module (the same library the plug-in loads by its own
// path, so this only adds a reference), driven through its test entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphoria::demo {

class WebWindowHands {
  public:
    WebWindowHands() = default;
    ~WebWindowHands();
    WebWindowHands(const WebWindowHands&) = delete;
    WebWindowHands& operator=(const WebWindowHands&) = delete;

    // Loads the library "Glyphoria" + the platform's library extension from
    // the module's folder and clears what an earlier session left in it.
    // false with *error set when it is missing or not the web-window library.
    bool Load(const std::string& module_folder, std::string* error);

    // The callback's answer, or -1 when the action cannot happen (no page
    // shown, no such link); note() then says why.
    std::int32_t Act(const char* action, const char* argument);
    // Record lines of one kind ("main", "callback", "fetch", "note"), their
    // fields after the kind.
    std::vector<std::vector<std::string>> Record(const std::string& kind) const;
    std::string LastNote() const;

  private:
    void* library_ = nullptr;
};

}  // namespace glyphoria::demo
