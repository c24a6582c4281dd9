// The web-window library's callback table over any command word and
// argument, against a preferences file in a scratch folder.
// Input: a byte choosing the code page ("langString" answers in UTF-8 or the
// Western page), then up to 32 calls, each: a byte for the command word (a
// real one, a near miss, or raw bytes ended by 0xFF), a byte for the
// argument's form (null, a whole record, a record without key, a record
// without value buffer), the key (a known one or raw bytes ended by 0xFF)
// and, for "setPrefString", the value (raw bytes ended by 0xFF).
//
// Value buffers are heap blocks of exactly the documented capacity (255 bytes
// for "prefString", 513 for "langString", the NUL included) and one guard
// byte, checked after every call, so a write past them shows in the replay
// build as well as under the sanitizers.
// "doTry", "doRevert" and "doBuy" are not sent: they need a document and the
// network, and their arguments have targets of their own.
//
// Checked: answers are terminated within their buffer, never longer than
// 254 / 512 bytes, a prefix of the full text cut no shorter than the last
// whole character before the bound, and never cut inside a UTF-8 character;
// a missing key leaves the buffer untouched; after a "setPrefString" the
// store accepts, the file on disk reloads with every key set so far answering
// its value; after one it refuses (or any other command) the file is
// byte-identical; unknown words touch nothing.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/shell_open.h"
#include "shell/host_callback.h"
#include "support/limits.h"
#include "support/messages.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#include "support/text_convert.h"

namespace {

using glyphoria::KeyValueArgs;
using glyphoria::fuzz::CString;
using glyphoria::fuzz::FuzzInput;
using glyphoria::fuzz::IsWholeUtf8;

const char* const kWords[] = {
    "prefString", "langString",     "setPrefString", "hostWnd", "doHomepage", "doNewWindow",
    "prefstring", "setPrefString ", "version",       "",        nullptr,
};
constexpr std::size_t kWordCount = sizeof kWords / sizeof kWords[0];

const char* const kKeys[] = {
    "homepage", "search",    "cartUrl", "mlSamplerUrl", "restore",   "cancel",
    "AdConn",   "noSuchKey", "",        "a=b",          "[General]", "long",
};
constexpr std::size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

const char kInitialFile[] =
    "[General]\r\nhomepage=http://example.test/home\r\nsearch=http://s.test/\r\n"
    "long=\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
    "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
    "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
    "\r\n[Other]\r\nsearch=other\r\n";

const std::string& Folder() {
    return glyphoria::fuzz::ScratchFolder("glyphoria-callback-fuzz-");
}

std::string PrefsPath() {
    return Folder() + "/Glyphoria.ini";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

[[noreturn]] void Fail(const char* what, const std::string& detail = "") {
    std::fprintf(stderr, "host_callback: %s %s\n", what, detail.c_str());
    std::abort();
}

// An answer of text cut to bound bytes: a prefix, terminated in its buffer,
// no longer than the bound and no shorter than the last whole character
// before it; whole characters when the full text has them.
void ExpectCut(const char* what, const char* buffer, std::size_t capacity, const std::string& full,
               std::size_t bound, bool utf8) {
    const void* nul = std::memchr(buffer, '\0', capacity);
    if (!nul) Fail(what, "answer not terminated");
    const std::string got(buffer, static_cast<const char*>(nul));
    if (got.size() > bound) Fail(what, "answer longer than its bound");
    if (full.compare(0, got.size(), got) != 0) Fail(what, "answer is not a prefix of the text");
    const std::size_t whole = std::min(full.size(), bound);
    if (got.size() + (utf8 ? 3 : 0) < whole) Fail(what, "answer cut short");
    if (utf8 && IsWholeUtf8(full.substr(0, full.find('\0'))) && !IsWholeUtf8(got))
        Fail(what, "answer cut inside a character");
}

// What the store takes, as its header promises: no empty key, no line break
// anywhere, no "=" in the key, no leading "[".
bool StoreTakes(const std::string& key, const std::string& value) {
    return !key.empty() && key[0] != '[' && key.find_first_of("\r\n=") == std::string::npos &&
           value.find_first_of("\r\n") == std::string::npos;
}

using Model = std::map<std::string, std::string>;

void ExpectFileAnswers(const Model& model) {
    glyphoria::PrefsStore reloaded;
    if (reloaded.Load(PrefsPath().c_str()) != 0) Fail("reload failed");
    static char value[70000];
    for (const auto& [key, want] : model) {
        const int n =
            reloaded.GetString(glyphoria::kGeneralSection, key.c_str(), value, sizeof value);
        if (n != static_cast<int>(want.size()) || want != value) Fail("file lost key", key);
    }
}

std::string PickKey(FuzzInput& in) {
    const std::uint8_t b = in.Byte();
    if (b < 0xC0) return kKeys[b % kKeyCount];
    return CString(in.Until('\xFF'));
}

std::string g_opened;

void Setup() {
    static bool done = false;
    if (done) return;
    done = true;
    glyphoria::LoadStrings();
    glyphoria::platform::SetShellOpenHook([](const char* target) {
        g_opened = target ? target : "<null>";
        return true;
    });
    glyphoria::SetMessageBoxHook([](const glyphoria::ShownMessage&) { return 1; });
}

// One call of a string command with a record.
void CallWithRecord(const char* word, const std::string& key, int form, FuzzInput& in,
                    Model* model) {
    const bool is_pref = std::strcmp(word, "prefString") == 0;
    const bool is_lang = std::strcmp(word, "langString") == 0;
    const bool is_set = std::strcmp(word, "setPrefString") == 0;
    const std::string value = is_set ? CString(in.Until('\xFF')) : std::string();

    // Exact-size blocks: the key, the set value, the answer buffer.
    std::unique_ptr<char[]> key_block(new char[key.size() + 1]);
    std::memcpy(key_block.get(), key.c_str(), key.size() + 1);
    const std::size_t capacity = is_lang  ? glyphoria::kLangStringMaxLength + 1
                                 : is_set ? value.size() + 1
                                          : glyphoria::kPrefStringCapacity;
    constexpr char kGuard = '\x5A';
    std::unique_ptr<char[]> buffer(new char[capacity + 1]);
    buffer[capacity] = kGuard;
    static const char kUntouched[] = "\x01untouched";
    if (is_set) {
        std::memcpy(buffer.get(), value.c_str(), value.size() + 1);
    } else {
        std::memset(buffer.get(), '#', capacity);
        std::memcpy(buffer.get(), kUntouched, sizeof kUntouched);
    }

    KeyValueArgs args{form == 2 ? nullptr : key_block.get(), form == 3 ? nullptr : buffer.get()};
    const std::intptr_t argument = form == 0 ? 0 : reinterpret_cast<std::intptr_t>(&args);
    const std::string before = ReadFile(PrefsPath());
    if (glyphoria::HostCommandCallback(word, argument) != 0)
        Fail("string command answered non-zero", word);
    const std::string after = ReadFile(PrefsPath());
    if (buffer[capacity] != kGuard) Fail("wrote past the value buffer of", word);

    const bool complete = form == 1;
    if (is_set && complete && StoreTakes(key, value)) {
        (*model)[key] = value;
        ExpectFileAnswers(*model);
        return;
    }
    if (after != before) Fail("file changed by", word);
    if (is_set) {
        if (std::memcmp(buffer.get(), value.c_str(), value.size() + 1) != 0)
            Fail("setPrefString wrote into its value");
        return;
    }
    const bool untouched = std::memcmp(buffer.get(), kUntouched, sizeof kUntouched) == 0;
    if (!complete || (!is_pref && !is_lang)) {
        if (!untouched) Fail("buffer touched by", word);
        return;
    }
    if (is_pref) {
        static char full[70000];
        const int n = glyphoria::Prefs().GetString(glyphoria::kGeneralSection, key.c_str(), full,
                                                   sizeof full);
        if (n < 0) {
            if (!untouched) Fail("missing key touched the buffer", key);
            return;
        }
        ExpectCut("prefString", buffer.get(), capacity,
                  std::string(full, std::min<std::size_t>(n, sizeof full - 1)),
                  glyphoria::kPrefStringCapacity - 1, true);
        return;
    }
    // langString: the key's text converted whole is what the answer cuts.
    const glyphoria::WideText text = glyphoria::WideText::FromKey(key.c_str());
    std::string full(8 * text.length() + 1, '\0');
    full.resize(text.ToBytes(&full[0], full.size() - 1));
    const bool utf8 = glyphoria::CodePageOfEncoding(glyphoria::kEncodingAnsi) == 65001;
    ExpectCut("langString", buffer.get(), capacity, full, glyphoria::kLangStringMaxLength, utf8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Setup();
    FuzzInput in(data, size);
    setenv("LC_ALL", in.Byte() % 2 ? "C" : "C.UTF-8", 1);

    // Every input starts from the same file, loaded as start-up loads it.
    {
        std::FILE* f = std::fopen(PrefsPath().c_str(), "wb");
        if (!f) Fail("cannot write the preferences file");
        std::fwrite(kInitialFile, 1, sizeof kInitialFile - 1, f);
        std::fclose(f);
    }
    if (glyphoria::Prefs().Load(PrefsPath().c_str()) != 0) Fail("load failed");
    Model model;
    static char value[70000];
    for (const char* key : {"homepage", "search", "long"}) {
        glyphoria::Prefs().GetString(glyphoria::kGeneralSection, key, value, sizeof value);
        model[key] = value;
    }

    for (int calls = 0; !in.empty() && calls < 32; ++calls) {
        const std::uint8_t w = in.Byte();
        std::string raw;
        const char* word = nullptr;
        if (w < 0xD0) {
            word = kWords[w % kWordCount];
        } else {
            raw = CString(in.Until('\xFF'));
            word = raw.c_str();
        }
        if (word && (!std::strcmp(word, "doTry") || !std::strcmp(word, "doRevert") ||
                     !std::strcmp(word, "doBuy")))
            continue;
        const int form = in.Byte() % 4;
        const std::string key = PickKey(in);
        if (!word) {
            if (glyphoria::HostCommandCallback(nullptr, 0) != 0) Fail("null word answered");
            continue;
        }
        const bool is_text_command = !std::strcmp(word, "hostWnd") ||
                                     !std::strcmp(word, "doHomepage") ||
                                     !std::strcmp(word, "doNewWindow");
        if (is_text_command) {
            g_opened.clear();
            std::unique_ptr<char[]> text(new char[key.size() + 1]);
            std::memcpy(text.get(), key.c_str(), key.size() + 1);
            const std::string before = ReadFile(PrefsPath());
            const std::int32_t answer = glyphoria::HostCommandCallback(
                word, form == 0 ? 0 : reinterpret_cast<std::intptr_t>(text.get()));
            if (std::strcmp(word, "hostWnd") != 0 && answer != 0) Fail("non-zero answer", word);
            if (ReadFile(PrefsPath()) != before) Fail("file changed by", word);
            if (!std::strcmp(word, "doHomepage")) {
                // The stored address (cut like any answer), else the product's site.
                if (g_opened.empty() || g_opened.size() > glyphoria::kValueMaxLength)
                    Fail("homepage address", g_opened);
                const auto stored = model.find("homepage");
                if (stored != model.end() && !stored->second.empty())
                    ExpectCut("doHomepage", g_opened.c_str(), g_opened.size() + 1, stored->second,
                              glyphoria::kValueMaxLength, true);
            }
            continue;
        }
        CallWithRecord(word, key, form, in, &model);
    }
    return 0;
}
