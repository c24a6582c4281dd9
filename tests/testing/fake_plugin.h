// What the web-window library tests play as the plug-in: a callback that
// keeps every call and answers as set, and the library's four entries
// loaded from its file. Shared by the tests of both forms of the library.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "testing/webwindow/webwindow_api.h"

namespace glyphoria::testing::standin {

struct FakePlugin {
    struct Call {
        std::string command;
        bool null_argument;
        std::string argument;  // the string, or the key of a KeyValueArgs
    };
    std::mutex mutex;
    std::vector<Call> calls;
    std::map<std::string, int32_t> answers;
    std::map<std::string, std::string> prefs;
    std::map<std::string, std::string> texts;  // "langString" answers; else "text of KEY"
    size_t write_bytes = 0;  // when set, value commands write this many 'x' and a NUL

    static FakePlugin& Get() {
        static FakePlugin plugin;
        return plugin;
    }

    static int32_t Callback(const char* command, intptr_t argument) {
        FakePlugin& self = Get();
        std::lock_guard<std::mutex> lock(self.mutex);
        std::string name = command ? command : "";
        bool value_command =
            name == "prefString" || name == "langString" || name == "setPrefString";
        Call call{name, argument == 0, ""};
        if (argument && value_command) {
            auto* args = reinterpret_cast<GlyphoriaKeyValueArgs*>(argument);
            call.argument = args->key;
            if (name == "setPrefString") self.prefs[args->key] = args->value;
            if (self.write_bytes) {
                std::memset(args->value, 'x', self.write_bytes);
                args->value[self.write_bytes] = '\0';
            } else if (name == "prefString" && self.prefs.count(args->key)) {
                std::strcpy(args->value, self.prefs[args->key].c_str());
            } else if (name == "langString") {
                auto text = self.texts.find(args->key);
                std::strcpy(args->value, text != self.texts.end()
                                             ? text->second.c_str()
                                             : ("text of " + std::string(args->key)).c_str());
            }
        } else if (argument) {
            call.argument = reinterpret_cast<const char*>(argument);
        }
        self.calls.push_back(call);
        auto answer = self.answers.find(name);
        return answer == self.answers.end() ? 0 : answer->second;
    }

    void Reset() {
        std::lock_guard<std::mutex> lock(mutex);
        calls.clear();
        answers.clear();
        prefs.clear();
        texts.clear();
        write_bytes = 0;
    }

    std::vector<Call> Calls() {
        std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }

    // The calls of one command, in order.
    std::vector<Call> CallsOf(const std::string& command) {
        std::vector<Call> found;
        for (const Call& call : Calls())
            if (call.command == command) found.push_back(call);
        return found;
    }
};

// A web-window library loaded as the plug-in loads it, with its entries.
struct LibraryEntries {
    void* handle = nullptr;
    GlyphoriaWebWindowMain main = nullptr;
    GlyphoriaWebWindowAct act = nullptr;
    GlyphoriaWebWindowRecord record = nullptr;
    GlyphoriaWebWindowControl control = nullptr;

    // Stays loaded, as it does in the plug-in; false with a test failure
    // when the file or an entry is missing.
    bool Load(const char* path) {
        handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(handle, nullptr) << dlerror();
        if (!handle) return false;
        main = reinterpret_cast<GlyphoriaWebWindowMain>(dlsym(handle, "main"));
        act = reinterpret_cast<GlyphoriaWebWindowAct>(dlsym(handle, "glyphoria_webwindow_act"));
        record =
            reinterpret_cast<GlyphoriaWebWindowRecord>(dlsym(handle, "glyphoria_webwindow_record"));
        control = reinterpret_cast<GlyphoriaWebWindowControl>(
            dlsym(handle, "glyphoria_webwindow_control"));
        EXPECT_TRUE(main && act && record && control);
        return main && act && record && control;
    }

    std::vector<std::string> RecordLines() const {
        std::string text(record(nullptr, 0), '\0');
        record(text.data(), text.size() + 1);
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    bool Recorded(const std::string& line) const {
        for (const std::string& each : RecordLines())
            if (each == line) return true;
        return false;
    }

    // The last note of the record ("" for none).
    std::string LastNote() const {
        std::string note;
        for (const std::string& line : RecordLines())
            if (line.rfind("note\t", 0) == 0) note = line.substr(5);
        return note;
    }

    static intptr_t Arg(const char* text) { return reinterpret_cast<intptr_t>(text); }
    static intptr_t Callback() { return reinterpret_cast<intptr_t>(&FakePlugin::Callback); }
};

}  // namespace glyphoria::testing::standin
