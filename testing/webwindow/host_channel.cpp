#include "testing/webwindow/host_channel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace glyphoria::testing::webwindow {

namespace {

// Guard bytes after each value buffer show a plug-in that writes past it.
constexpr size_t kCanarySize = 16;
constexpr char kCanaryByte = static_cast<char>(0xA5);

std::string EscapeField(const std::string& field) {
    std::string out;
    for (char c : field) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

void SplitAssignment(const std::string& text, std::string* key, std::string* value,
                     bool* has_value) {
    size_t eq = text.find('=');
    *key = text.substr(0, eq);
    *value = eq == std::string::npos ? std::string() : text.substr(eq + 1);
    if (has_value) *has_value = eq != std::string::npos;
}

void HostChannel::SetCallback(GlyphoriaHostCallback callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    callback_ = callback;
}

GlyphoriaHostCallback HostChannel::callback() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return callback_;
}

void HostChannel::Append(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? "\t" : "") + EscapeField(fields[i]);
    std::lock_guard<std::mutex> lock(mutex_);
    record_.push_back(std::move(line));
}

void HostChannel::Note(const std::string& text) {
    Append({"note", text});
}

std::string HostChannel::Record() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string text;
    for (const std::string& line : record_)
        text += line + "\n";
    return text;
}

void HostChannel::ClearRecord() {
    std::lock_guard<std::mutex> lock(mutex_);
    record_.clear();
}

void HostChannel::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    callback_ = nullptr;
    record_.clear();
}

int32_t HostChannel::Call(const char* command, const char* argument) {
    GlyphoriaHostCallback host = callback();
    if (!host) {
        Note(std::string(command) + ": no callback");
        return -1;
    }
    int32_t result = host(command, reinterpret_cast<intptr_t>(argument));
    Append({"callback", command, argument ? argument : "null", std::to_string(result)});
    return result;
}

bool HostChannel::ActOnCallback(const std::string& action, const std::string& argument,
                                int32_t* result) {
    if (action == "prefString") {
        *result = ValueCommand("prefString", argument, kGlyphoriaPrefValueCapacity, nullptr);
    } else if (action == "langString") {
        *result = ValueCommand("langString", argument, kGlyphoriaLangValueCapacity, nullptr);
    } else if (action == "setPrefString") {
        std::string key, value;
        SplitAssignment(argument, &key, &value);
        *result = SetPref(key, value);
    } else if (action == "hostWnd") {
        *result = Call("hostWnd", nullptr);
    } else if (action == "call") {
        std::string command, value;
        bool has_value = false;
        SplitAssignment(argument, &command, &value, &has_value);
        *result = Call(command.c_str(), has_value ? value.c_str() : nullptr);
    } else {
        return false;
    }
    return true;
}

bool HostChannel::ReadValue(const char* command, const std::string& key, std::string* value) {
    size_t capacity = std::strcmp(command, "langString") == 0 ? kGlyphoriaLangValueCapacity
                                                              : kGlyphoriaPrefValueCapacity;
    return ValueCommand(command, key, capacity, value) != -1;
}

bool HostChannel::WriteValue(const std::string& key, const std::string& value) {
    return SetPref(key, value) != -1;
}

int32_t HostChannel::ValueCommand(const char* command, const std::string& argument, size_t capacity,
                                  std::string* value) {
    GlyphoriaHostCallback host = callback();
    if (!host) {
        Note(std::string(command) + ": no callback");
        return -1;
    }
    std::string key, initial;
    SplitAssignment(argument, &key, &initial);
    std::vector<char> buffer(capacity + kCanarySize, kCanaryByte);
    std::memset(buffer.data(), 0, capacity);
    std::memcpy(buffer.data(), initial.data(), std::min(initial.size(), capacity - 1));
    GlyphoriaKeyValueArgs args{key.c_str(), buffer.data()};
    int32_t result = host(command, reinterpret_cast<intptr_t>(&args));
    size_t length = strnlen(buffer.data(), capacity);
    std::string text(buffer.data(), length);
    Append({"callback", command, key, std::to_string(result), text});
    for (size_t i = capacity; i < buffer.size(); ++i) {
        if (buffer[i] != kCanaryByte) {
            Note(std::string("overrun ") + command);
            break;
        }
    }
    if (length == capacity) Note(std::string("unterminated ") + command);
    if (value) *value = std::move(text);
    return result;
}

int32_t HostChannel::SetPref(const std::string& key, const std::string& value) {
    GlyphoriaHostCallback host = callback();
    if (!host) {
        Note("setPrefString: no callback");
        return -1;
    }
    std::vector<char> writable(value.begin(), value.end());
    writable.push_back('\0');
    GlyphoriaKeyValueArgs args{key.c_str(), writable.data()};
    int32_t result = host("setPrefString", reinterpret_cast<intptr_t>(&args));
    Append({"callback", "setPrefString", key, std::to_string(result), value});
    return result;
}

}  // namespace glyphoria::testing::webwindow
