// The Mac preferences store over libplist.
#include "mac/plist_prefs.h"

#include <plist/plist.h>

#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "mac/mac_folders.h"
#include "mac/mac_log.h"
#include "platform/fs.h"
#include "support/file_utils.h"

namespace glyphoria::mac {

namespace {

// Preferences are a handful of short strings; anything near this size is not
// ours, and the reader takes 32-bit lengths.
constexpr std::uint32_t kMaxPrefsFileSize = 16u << 20;

plist_t Dict(void* p) {
    return static_cast<plist_t>(p);
}

const char* SkipBlanks(const char* s) {
    while (*s == ' ' || *s == '\t' || *s == '\n' || *s == '\r' || *s == '\f' || *s == '\v')
        ++s;
    return s;
}

// Blanks, a sign, digits; saturates at the int range as the Mac's intValue.
long LeadingInt(const char* s) {
    s = SkipBlanks(s);
    bool negative = false;
    if (*s == '+' || *s == '-') negative = *s++ == '-';
    long long value = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        value = value * 10 + (*s - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<long>(value);
}

// Blanks, a sign, a decimal number with "." whatever the user's locale.
double LeadingDouble(const char* s) {
    s = SkipBlanks(s);
    bool negative = false;
    if (*s == '+' || *s == '-') negative = *s++ == '-';
    // One sign only: from_chars would take a second minus ("--2" as 2).
    if (*s == '+' || *s == '-') return 0.0;
    double value = 0;
    const char* end = s;
    while (*end)
        ++end;
    auto result = std::from_chars(s, end, value, std::chars_format::general);
    if (result.ec != std::errc()) return 0.0;
    return negative ? -value : value;
}

// A key or string with a NUL byte inside is damage (zero-filled blocks after
// a crash, a binary list made by hand). The library's getters for keys and
// strings end the process on one with an assertion, so such a file is
// refused whole; the XML form shows the NUL without reading any key.
bool HoldsNulInText(plist_t root) {
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    if (!xml) return true;
    const bool nul = std::memchr(xml, '\0', length) != nullptr;
    plist_to_xml_free(xml);
    return nul;
}

// A binary list can hold a key twice. Lookups answer the first entry, but
// the XML written back would answer the last one once read again, so a save
// would change a preference nobody set. Only the first entry of a key is
// kept. The dictionary passed in is freed.
plist_t WithoutRepeatedKeys(plist_t dict) {
    plist_t out = plist_new_dict();
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(dict, &it);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dict, it, &key, &value);
        if (!key) break;
        if (!plist_dict_get_item(out, key)) plist_dict_set_item(out, key, plist_copy(value));
        std::free(key);
    }
    std::free(it);
    plist_free(dict);
    return out;
}

// The text of a string node, read without the copying getter's assertion
// (and up to a NUL, should one ever be set from outside).
std::string StringValue(plist_t item) {
    std::uint64_t length = 0;
    const char* value = plist_get_string_ptr(item, &length);
    if (!value) return {};
    return std::string(value, strnlen(value, static_cast<std::size_t>(length)));
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

void CopyBundledDefault(const std::string& path, const std::string& bundled_default) {
    if (bundled_default.empty() || FileExists(path.c_str())) return;
    std::uint32_t size = 0;
    char* bytes = ReadWholeFile(bundled_default.c_str(), &size);
    if (!bytes) return;
    WriteWholeFileAtomic(path.c_str(), bytes, size);
    std::free(bytes);
}

}  // namespace

PlistPrefs::PlistPrefs() : dict_(plist_new_dict()) {}

PlistPrefs::~PlistPrefs() {
    plist_free(Dict(dict_));
}

void PlistPrefs::Open(const std::string& path, const std::string& bundled_default) {
    path_ = path;
    unreadable_ = false;
    plist_free(Dict(dict_));
    dict_ = plist_new_dict();
    if (path.empty()) return;

    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) CreateFolders(path.substr(0, slash));
    CopyBundledDefault(path, bundled_default);

    std::uint32_t size = 0;
    char* bytes = ReadWholeFile(path.c_str(), &size);
    if (!bytes) {
        // No file yet: an empty store. A file that is there but cannot be
        // read (no permission, locked) is the user's settings all the same:
        // the store runs on defaults and never writes over it.
        unreadable_ = FileExists(path.c_str());
        if (unreadable_) MacLog("prefs: cannot read %s; it is left as it is", path.c_str());
        return;
    }
    plist_t root = nullptr;
    if (size > 0 && size <= kMaxPrefsFileSize) plist_from_memory(bytes, size, &root);
    std::free(bytes);
    if (root && plist_get_node_type(root) == PLIST_DICT && !HoldsNulInText(root)) {
        plist_free(Dict(dict_));
        dict_ = WithoutRepeatedKeys(root);
        return;
    }
    if (root) plist_free(root);
    MacLog("prefs: %s is no property-list dictionary; starting empty", path.c_str());
}

bool PlistPrefs::HasString(const std::string& key) const {
    plist_t item = plist_dict_get_item(Dict(dict_), key.c_str());
    return item && plist_get_node_type(item) == PLIST_STRING;
}

std::string PlistPrefs::GetString(const std::string& key, const std::string& def) const {
    plist_t item = plist_dict_get_item(Dict(dict_), key.c_str());
    if (!item || plist_get_node_type(item) != PLIST_STRING) return def;
    return StringValue(item);
}

long PlistPrefs::GetInt(const std::string& key, long def) const {
    if (!HasString(key)) return def;
    return LeadingInt(GetString(key, "").c_str());
}

double PlistPrefs::GetFloat(const std::string& key, double def) const {
    if (!HasString(key)) return def;
    return LeadingDouble(GetString(key, "").c_str());
}

bool PlistPrefs::SetString(const std::string& key, const std::string& value, bool write) {
    plist_dict_set_item(Dict(dict_), key.c_str(), plist_new_string(value.c_str()));
    return write ? Save() : true;
}

bool PlistPrefs::SetInt(const std::string& key, long value, bool write) {
    return SetString(key, std::to_string(value), write);
}

bool PlistPrefs::Save() {
    if (path_.empty() || unreadable_) return false;
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(Dict(dict_), &xml, &length);
    if (!xml) return false;
    bool ok = WriteWholeFileAtomic(path_.c_str(), xml, length);
    plist_to_xml_free(xml);
    if (!ok) MacLog("prefs: cannot write %s", path_.c_str());
    return ok;
}

std::string PlistPrefs::Describe() const {
    std::string out = "{\n";
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(Dict(dict_), &it);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(Dict(dict_), it, &key, &value);
        if (!key) break;
        out += "    " + Quoted(key) + " = ";
        if (plist_get_node_type(value) == PLIST_STRING) {
            out += Quoted(StringValue(value));
        } else {
            out += "<not a string>";
        }
        out += ";\n";
        std::free(key);
    }
    std::free(it);
    return out + "}";
}

PlistPrefs& MacPrefs() {
    static PlistPrefs prefs;
    return prefs;
}

std::string MacPrefsPath(const char* name) {
    const std::string support = ApplicationSupportFolder();
    if (support.empty()) return {};
    return JoinPath(JoinPath(support, "Glyphoria"), name ? name : "Glyphoria.plist");
}

void OpenMacPrefs(const char* name) {
    const std::string resources = BundleResourcesFolder();
    MacPrefs().Open(MacPrefsPath(name),
                    resources.empty() ? std::string() : JoinPath(resources, "Prefs.plist"));
}

}  // namespace glyphoria::mac
