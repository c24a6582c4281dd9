#include "shell/host_callback.h"

#include <algorithm>
#include <cstring>

#include "platform/shell_open.h"
#include "purchase/purchase_download.h"
#include "sampling/frame_actions.h"
#include "support/host_window.h"
#include "support/limits.h"
#include "support/prefs_store.h"
#include "support/text_convert.h"
#include "support/vendor_addresses.h"

namespace glyphoria {

namespace {

using TextHandler = std::int32_t (*)(const char* text);
using ValueHandler = void (*)(const KeyValueArgs& args);

std::int32_t HostWindow(const char*) {
    // Window handles carry 32 significant bits, so the library's integer
    // holds them whole.
    return static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(HostWindowHandle()));
}

std::int32_t Try(const char* text) {
    TryFont(text);
    return 0;
}

std::int32_t Revert(const char* text) {
    RevertFrames(text);
    return 0;
}

std::int32_t Homepage(const char*) {
    OpenHomepage();
    return 0;
}

std::int32_t NewWindow(const char*) {
    return 0;
}

std::int32_t Buy(const char* text) {
    return DoBuy(text);
}

// The stored value into dest (capacity bytes, the NUL included), cut
// between characters: a value set longer than that by the library itself
// must not come back with half a character at its end. False for a missing
// key, dest untouched.
bool CopyPref(const char* key, char* dest, std::size_t capacity) {
    // A few bytes past the bound show whether the cut falls inside a character.
    char value[kValueBufferSize + 4];
    const int length = Prefs().GetString(kGeneralSection, key, value, sizeof value);
    if (length < 0) return false;
    const std::size_t copied = std::min(static_cast<std::size_t>(length), sizeof value - 1);
    const std::size_t kept = Utf8PrefixLength(value, copied, std::min(capacity, sizeof value) - 1);
    std::memcpy(dest, value, kept);
    dest[kept] = '\0';
    return true;
}

void PrefString(const KeyValueArgs& args) {
    CopyPref(args.key, args.value, kPrefStringCapacity);
}

void LangString(const KeyValueArgs& args) {
    WideText text = WideText::FromKey(args.key);
    if (text.get()) {
        text.ToBytes(args.value, kLangStringMaxLength, kEncodingAnsi);
    } else {
        args.value[0] = '\0';
    }
}

void SetPrefString(const KeyValueArgs& args) {
    if (Prefs().SetString(kGeneralSection, args.key, args.value) == 0) Prefs().Save();
}

struct Command {
    const char* word;
    TextHandler text;
    ValueHandler value;
};

const Command kCommands[] = {
    {"hostWnd", HostWindow, nullptr},
    {"doTry", Try, nullptr},
    {"doRevert", Revert, nullptr},
    {"doHomepage", Homepage, nullptr},
    {"doNewWindow", NewWindow, nullptr},
    {"doBuy", Buy, nullptr},
    {"prefString", nullptr, PrefString},
    {"langString", nullptr, LangString},
    {"setPrefString", nullptr, SetPrefString},
};

}  // namespace

std::int32_t HostCommandCallback(const char* command, std::intptr_t argument) {
    if (!command) return 0;
    for (const Command& c : kCommands) {
        if (std::strcmp(command, c.word) != 0) continue;
        if (c.text) return c.text(argument ? reinterpret_cast<const char*>(argument) : "");
        // A record is needed here; an empty string in its place would be read
        // as two pointers.
        const auto* args = reinterpret_cast<const KeyValueArgs*>(argument);
        if (args && args->key && args->value) c.value(*args);
        return 0;
    }
    return 0;
}

void OpenHomepage() {
    char address[kPathBufferSize] = "";
    // An empty stored address would open nothing at all.
    if (!CopyPref("homepage", address, kValueBufferSize) || !address[0]) {
        address[0] = '\0';
        std::strncat(address, Vendor().homepage.c_str(), sizeof address - 1);
    }
    platform::ShellOpen(address);
}

}  // namespace glyphoria
