// The designer's hands on the Mac form's windows: the scripting entry the
// Mac module exports (glyphoria_mac_act, glyphoria_mac_record), found in the
// module the host loaded. The actions are the module's (mac/plugin/mac_script.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphoria::demo {

class MacHandsClient {
  public:
    MacHandsClient() = default;
    ~MacHandsClient();
    MacHandsClient(const MacHandsClient&) = delete;
    MacHandsClient& operator=(const MacHandsClient&) = delete;

    // The module at path (already loaded by the host; this adds a reference).
    // false with *error set when it has no scripting entry.
    bool Attach(const std::string& module, std::string* error);
    // 1 done, 0 refused, -1 not possible (LastNote says why).
    std::int32_t Act(const std::string& action, const std::string& argument = "");
    // Record lines of one kind ("page", "bar", "alert", ...), their fields
    // after the kind.
    std::vector<std::vector<std::string>> Record(const std::string& kind) const;
    std::string LastNote() const;

  private:
    void* module_ = nullptr;
};

}  // namespace glyphoria::demo
