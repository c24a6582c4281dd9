// The library's half of the bridge, shared by both forms of the web-window
// library (the headless one here and the one over a real web engine): the
// plug-in's callback, the calls through it, and the record of everything that
// passed.
//
// Record lines (fields separated by tabs; a tab, line end, backslash or other
// control character inside a field is written as \t, \n, \\, \xHH):
//   main      <command> <argument> <result>   a command from the plug-in; the
//             argument is the address for "showTryWnd", else "null" or "set"
//   callback  <command> <argument> <result>   a callback to the plug-in; for
//             the KeyValueArgs commands the argument is the key and a fifth
//             field holds the value buffer after the call ("setPrefString":
//             the value handed over)
//   note      <text>                         why an action could not happen, or
//             "overrun <command>" / "unterminated <command>" when the plug-in
//             wrote past a value buffer or left it without a NUL
// Each form adds lines of its own (web_window.h, webwindow_gtk/gtk_web_window.h).
//
// Thread-safe; callbacks run on the caller's thread with no lock held, so the
// plug-in may call back in.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "testing/webwindow/webwindow_api.h"

namespace glyphoria::testing::webwindow {

class HostChannel {
  public:
    void SetCallback(GlyphoriaHostCallback callback);
    GlyphoriaHostCallback callback() const;

    // The callback with a text argument (null passes null); its answer, or
    // -1 and a note when no callback is set.
    int32_t Call(const char* command, const char* argument);

    // The actions both forms answer straight through the callback:
    //   "prefString"    "key[=initial]", a 255-byte value buffer
    //   "langString"    the same with a 513-byte buffer
    //   "setPrefString" "key=value"
    //   "hostWnd"       null argument
    //   "call"          "command" (null argument) or "command=text"
    // False for any other action; else true with the answer in *result.
    bool ActOnCallback(const std::string& action, const std::string& argument, int32_t* result);

    // "prefString" or "langString" for key with a buffer of the command's
    // capacity that starts empty; the buffer's text after the call in *value.
    // False when no callback is set.
    bool ReadValue(const char* command, const std::string& key, std::string* value);
    // "setPrefString" with a copy of value; false when no callback is set.
    bool WriteValue(const std::string& key, const std::string& value);

    void Append(const std::vector<std::string>& fields);
    void Note(const std::string& text);
    std::string Record() const;
    void ClearRecord();
    // No callback, empty record.
    void Reset();

  private:
    int32_t ValueCommand(const char* command, const std::string& argument, size_t capacity,
                         std::string* value);
    int32_t SetPref(const std::string& key, const std::string& value);

    mutable std::mutex mutex_;
    GlyphoriaHostCallback callback_ = nullptr;
    std::vector<std::string> record_;
};

// "key=value" -> key, value; "key" -> key, "" (has_value false).
void SplitAssignment(const std::string& text, std::string* key, std::string* value,
                     bool* has_value = nullptr);

}  // namespace glyphoria::testing::webwindow
