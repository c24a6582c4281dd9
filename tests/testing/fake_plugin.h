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

#include "testing/shop/pages.h"
#include "testing/shop/shop.h"
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

// The command table as the plug-in drives it, the same for both forms: the
// window shows the page at start and closes; words in other letter case,
// unknown words and null ones answer 0; "version" keeps or clears the
// callback and answers the version, also one set from outside. The plug-in
// is asked for nothing the page would cause (no "do..." callback).
inline void ExpectTheCommandTable(const LibraryEntries& lib, const std::string& start) {
    const intptr_t callback = LibraryEntries::Callback();
    struct Case {
        const char* command;
        intptr_t argument;
        int32_t expected;
    } cases[] = {
        {"isTryWndVisible", 0, 0},
        {"version", callback, 28},
        {"showTryWnd", LibraryEntries::Arg(start.c_str()), 1},
        {"isTryWndVisible", 0, 1},
        {"ISTRYWNDVISIBLE", 0, 0},
        {"IsTryWndVisible", 0, 0},
        {"Version", callback, 0},
        {"closeTryWnd", 0, 0},
        {"isTryWndVisible", 0, 0},
        {"showTryWnd", 0, 0},
        {"isTryWndVisible", 0, 0},
        {"showTryWnd", LibraryEntries::Arg(""), 0},
        {"isTryWndVisible", 0, 0},
        {"doTry", LibraryEntries::Arg("id=1"), 0},
        {"", 0, 0},
        {nullptr, 0, 0},
        {"version", 0, 28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command ? c.command : "(null)");
        EXPECT_EQ(lib.main(c.command, c.argument), c.expected);
    }
    for (const FakePlugin::Call& call : FakePlugin::Get().Calls())
        EXPECT_NE(call.command.rfind("do", 0), 0u) << call.command;
    ASSERT_EQ(lib.control("version", "27"), 1);
    EXPECT_EQ(lib.main("version", callback), 27);
    EXPECT_EQ(lib.control("no such setting", "1"), 0);
    EXPECT_EQ(lib.control(nullptr, nullptr), 0);
    // Control characters cannot break a line of the record.
    lib.main("a\tb\nc", 0);
    EXPECT_TRUE(lib.Recorded("main\ta\\tb\\nc\tnull\t0"));
}

// The page's links on the shop's sampler page (shown by lib) reach the
// plug-in with the page's arguments, whichever form of the library shows it:
// a try (which the plug-in answers with 5), the revert and homepage links and
// a request for a new window; a font the page lacks and an unknown action
// answer -1.
inline void ExpectPageActionsReachThePlugin(const LibraryEntries& lib, const shop::Shop& shop) {
    FakePlugin::Get().answers["doTry"] = 5;
    const shop::CatalogueFont* font = shop.catalogue().Find("1005");
    ASSERT_NE(font, nullptr);
    const std::string elsewhere = shop.base_url() + "/";
    struct Case {
        const char* action;
        const char* argument;
        int32_t expected;
        std::string command;
        std::string passed;
    } cases[] = {
        {"try", "1005", 5, "doTry", shop::TryArgument(*font)},
        {"revert", nullptr, 0, "doRevert", "all=1"},
        {"homepage", nullptr, 0, "doHomepage", "glyphoria://homepage"},
        {"newWindow", elsewhere.c_str(), 0, "doNewWindow", elsewhere},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        FakePlugin::Get().calls.clear();
        EXPECT_EQ(lib.act(c.action, c.argument), c.expected) << lib.LastNote();
        std::vector<FakePlugin::Call> calls = FakePlugin::Get().CallsOf(c.command);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].argument, c.passed);
        EXPECT_TRUE(lib.Recorded("callback\t" + c.command + "\t" + c.passed + "\t" +
                                 std::to_string(c.expected)));
    }
    EXPECT_EQ(lib.act("try", "4242"), -1);
    EXPECT_EQ(lib.LastNote(), "try: no font 4242 on the page");
    EXPECT_EQ(lib.act("dance", nullptr), -1);
    EXPECT_EQ(lib.act(nullptr, nullptr), -1);
}

}  // namespace glyphoria::testing::standin
