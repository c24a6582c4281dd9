#include "tools/glyphoria/demo/mac_hands_client.h"

#include <sstream>

#include "platform/library.h"

namespace glyphoria::demo {

namespace {

using ActProc = std::int32_t (*)(const char* action, const char* argument);
using RecordProc = std::int32_t (*)(char* buffer, std::int32_t size);

template <class Proc>
Proc Entry(void* module, const char* name) {
    return module ? reinterpret_cast<Proc>(platform::FindExport(module, name)) : nullptr;
}

}  // namespace

MacHandsClient::~MacHandsClient() {
    if (module_) platform::FreeLibraryHandle(module_);
}

bool MacHandsClient::Attach(const std::string& module, std::string* error) {
    void* handle = platform::LoadLibraryUtf8(module.c_str());
    if (!Entry<ActProc>(handle, "glyphoria_mac_act") ||
        !Entry<RecordProc>(handle, "glyphoria_mac_record")) {
        *error = "no Mac scripting entry in " + module;
        if (handle) platform::FreeLibraryHandle(handle);
        return false;
    }
    module_ = handle;
    return true;
}

std::int32_t MacHandsClient::Act(const std::string& action, const std::string& argument) {
    auto act = Entry<ActProc>(module_, "glyphoria_mac_act");
    return act ? act(action.c_str(), argument.c_str()) : -1;
}

std::vector<std::vector<std::string>> MacHandsClient::Record(const std::string& kind) const {
    auto record = Entry<RecordProc>(module_, "glyphoria_mac_record");
    std::vector<std::vector<std::string>> lines;
    if (!record) return lines;
    std::string text(static_cast<std::size_t>(record(nullptr, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(record(&text[0], static_cast<std::int32_t>(text.size()))));
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        if (fields.empty() || fields[0] != kind) continue;
        fields.erase(fields.begin());
        lines.push_back(fields);
    }
    return lines;
}

std::string MacHandsClient::LastNote() const {
    auto notes = Record("note");
    return notes.empty() || notes.back().empty() ? std::string() : notes.back()[0];
}

}  // namespace glyphoria::demo
