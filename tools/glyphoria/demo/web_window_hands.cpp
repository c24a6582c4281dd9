#include "tools/glyphoria/demo/web_window_hands.h"

#include <sstream>

#include "platform/library.h"
#include "platform/path_style.h"
#include "testing/webwindow/webwindow_api.h"

namespace glyphoria::demo {

namespace {

template <class Proc>
Proc Entry(void* library, const char* name) {
    return library ? reinterpret_cast<Proc>(platform::FindExport(library, name)) : nullptr;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

}  // namespace

WebWindowHands::~WebWindowHands() {
    if (library_) platform::FreeLibraryHandle(library_);
}

bool WebWindowHands::Load(const std::string& module_folder, std::string* error) {
    const std::string path =
        module_folder + "/Glyphoria" + std::string(platform::kSharedLibraryExtension);
    void* library = platform::LoadLibraryUtf8(path.c_str());
    auto control = Entry<GlyphoriaWebWindowControl>(library, "glyphoria_webwindow_control");
    if (!control || !Entry<GlyphoriaWebWindowAct>(library, "glyphoria_webwindow_act") ||
        !Entry<GlyphoriaWebWindowRecord>(library, "glyphoria_webwindow_record")) {
        *error = "no web-window library at " + path;
        if (library) platform::FreeLibraryHandle(library);
        return false;
    }
    library_ = library;
    // A library still loaded from an earlier session in this process keeps
    // its record and settings.
    control("reset", nullptr);
    return true;
}

std::int32_t WebWindowHands::Act(const char* action, const char* argument) {
    auto act = Entry<GlyphoriaWebWindowAct>(library_, "glyphoria_webwindow_act");
    return act ? act(action, argument) : -1;
}

std::vector<std::vector<std::string>> WebWindowHands::Record(const std::string& kind) const {
    auto record = Entry<GlyphoriaWebWindowRecord>(library_, "glyphoria_webwindow_record");
    std::vector<std::vector<std::string>> lines;
    if (!record) return lines;
    std::string text(record(nullptr, 0) + 1, '\0');
    text.resize(record(&text[0], text.size()));
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields = Fields(line);
        if (fields.empty() || fields[0] != kind) continue;
        fields.erase(fields.begin());
        lines.push_back(fields);
    }
    return lines;
}

std::string WebWindowHands::LastNote() const {
    auto notes = Record("note");
    return notes.empty() || notes.back().empty() ? std::string() : notes.back()[0];
}

}  // namespace glyphoria::demo
