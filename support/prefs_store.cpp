// The INI preferences store. The text stays in internal line form (every LF
// turned into CR) while in memory, so one search rule serves CR LF, CR and LF
// files alike; Save turns it back into the file's own line end.
//
// Divisions: text helpers, Load, lookups (GetString, GetFloat), SetString,
// Save, the process-wide store and its default path.
#include "support/prefs_store.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/folders.h"
#include "platform/fs.h"
#include "platform/resources.h"
#include "support/file_utils.h"

namespace glyphoria {

namespace {

constexpr char kCR = '\r';
constexpr std::size_t npos = std::string_view::npos;

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != npos;
}

// Keys become the start of a line "key=value": a line break, "=" or a leading
// "[" would let a caller write a different key or a section header.
bool IsValidKey(const char* key) {
    if (!key || !*key || key[0] == '[') return false;
    std::string_view k(key);
    return !HasLineBreak(k) && k.find('=') == npos;
}

bool IsValidSection(const char* section) {
    if (!section || !*section) return false;
    std::string_view s(section);
    return !HasLineBreak(s) && s.find(']') == npos;
}

// The internal form of one line end for a file that uses line_end.
std::string_view InternalLineEnd(const char* line_end) {
    return std::strcmp(line_end, "\r\n") == 0 ? std::string_view("\r\r", 2)
                                              : std::string_view("\r", 1);
}

// "[section]" at the start of a line, or npos.
std::size_t FindHeader(std::string_view text, std::string_view header) {
    for (std::size_t from = 0;;) {
        std::size_t at = text.find(header, from);
        if (at == npos || at == 0 || text[at - 1] == kCR) return at;
        from = at + 1;
    }
}

// A section runs to the first line after its header that starts with "[".
std::size_t SectionEnd(std::string_view text, std::size_t header) {
    std::size_t at = text.find("\r[", header);
    return at == npos ? text.size() : at;
}

// Start of the line "key=..." inside [header, end), or npos. Searching for
// CR key "=" only matches whole keys at the start of a line.
std::size_t FindKeyLine(std::string_view text, std::size_t header, std::size_t end,
                        std::string_view key) {
    std::string needle;
    needle.reserve(key.size() + 2);
    needle.append(1, kCR).append(key).append(1, '=');
    std::size_t at = text.find(needle, header);
    if (at == npos || at >= end) return npos;
    return at + 1;
}

// Past the line that starts at pos and up to max_crs CRs of its line end.
std::size_t PastLine(std::string_view text, std::size_t pos, std::size_t max_crs) {
    std::size_t at = text.find(kCR, pos);
    if (at == npos) return text.size();
    for (std::size_t i = 0; i < max_crs && at < text.size() && text[at] == kCR; ++i)
        ++at;
    return at;
}

// Rewrites CR LF, CR and LF line ends of outside text (the embedded default)
// into the internal form of line_end.
std::string ToInternalForm(const unsigned char* data, std::size_t size, const char* line_end) {
    std::string out;
    const std::string_view le = InternalLineEnd(line_end);
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
            out.append(le);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The file's first line end decides: a CR that a value happens to hold
// further down is not the file's line end. A file without one counts as CR.
const char* DetectLineEnd(const char* text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] == '\n') return "\n";
        if (text[i] == '\r') return (i + 1 < size && text[i + 1] == '\n') ? "\r\n" : "\r";
    }
    return "\r";
}

// Drops a leading byte-order mark from size bytes at text; true when there
// was one.
bool SkipBom(char* text, std::size_t* size) {
    if (!HasUtf8Bom(text, *size)) return false;
    std::memmove(text, text + sizeof kUtf8Bom, *size - sizeof kUtf8Bom);
    *size -= sizeof kUtf8Bom;
    std::memset(text + *size, 0, sizeof kUtf8Bom);
    return true;
}

}  // namespace

PrefsStore::~PrefsStore() {
    std::free(text_);
}

// ---------------------------------------------------------------- Load

int PrefsStore::Load(const char* path) {
    std::free(text_);
    text_ = nullptr;
    length_ = capacity_ = 0;
    path_[0] = '\0';
    unreadable_ = false;
    bom_ = false;

    // A path that does not fit is not cut: a cut path would name some other
    // file, which Save would then overwrite. The store starts empty instead
    // and Save reports the failure.
    char file[kPathBufferSize];
    if (path && std::strlen(path) < sizeof file) {
        CopyBounded(file, sizeof file, path);
        if (EndsWithNoCase(file, ".ini") || ReplaceExtension(file, ".ini"))
            CopyBounded(path_, sizeof path_, file);
    }

    std::uint32_t size = 0;
    int status = kReadCannotOpen;
    char* data = path_[0] ? ReadWholeFile(path_, &size, &status) : nullptr;
    if (data) {
        // A byte-order mark is no part of the first line (it would hide the
        // first section header); Save puts it back.
        std::size_t length = size;
        bom_ = SkipBom(data, &length);
        size = static_cast<std::uint32_t>(length);
        char* grown = static_cast<char*>(std::realloc(data, size + kPrefsGrowStep));
        if (!grown) {
            std::free(data);
            return kPrefsNoMemory;
        }
        std::memset(grown + size, 0, kPrefsGrowStep);
        text_ = grown;
        length_ = size;
        capacity_ = size + kPrefsGrowStep;
        line_end_ = DetectLineEnd(text_, length_);
        std::replace(text_, text_ + length_, '\n', '\r');
        return 0;
    }
    if (status == kReadNoMemory) return kPrefsNoMemory;
    // A file that exists but cannot be read (locked, no permission) is not
    // missing: the store runs on defaults, but saving would destroy it.
    unreadable_ = path_[0] && FileExists(path_);

    std::string initial;
    platform::ResourceBytes res;
    if (platform::FindModuleResource("Prefs", "ini", &res) && res.data) {
        bom_ = HasUtf8Bom(res.data, res.size);
        const std::size_t skip = bom_ ? sizeof kUtf8Bom : 0;
        initial = ToInternalForm(res.data + skip, res.size - skip, line_end_);
    }
    capacity_ = initial.size() + kPrefsGrowStep;
    text_ = static_cast<char*>(std::calloc(capacity_, 1));
    if (!text_) {
        capacity_ = 0;
        return kPrefsNoMemory;
    }
    std::memcpy(text_, initial.data(), initial.size());
    length_ = initial.size();
    return 0;
}

// ---------------------------------------------------------------- lookups

int PrefsStore::GetString(const char* section, const char* key, char* dest,
                          std::size_t capacity) const {
    if (!text_ || length_ == 0 || !IsValidSection(section) || !IsValidKey(key))
        return kPrefsNotFound;
    const std::string_view text(text_, length_);
    const std::string header = std::string("[") + section + "]";
    const std::size_t at = FindHeader(text, header);
    if (at == npos) return kPrefsNotFound;
    const std::size_t line = FindKeyLine(text, at, SectionEnd(text, at), key);
    if (line == npos) return kPrefsNotFound;

    const std::size_t value = line + std::strlen(key) + 1;
    std::size_t value_end = text.find(kCR, value);
    if (value_end == npos) value_end = text.size();
    const std::size_t value_len = value_end - value;
    if (dest && capacity > 0) {
        const std::size_t n = std::min(value_len, capacity - 1);
        std::memcpy(dest, text_ + value, n);
        dest[n] = '\0';
    }
    return static_cast<int>(value_len);
}

double PrefsStore::GetFloat(const char* section, const char* key, double def) const {
    char buf[kValueBufferSize];
    if (GetString(section, key, buf, sizeof buf) <= 0) return def;
    // Decimal point whatever the process locale says: the file is shared by
    // users of every language.
    const char* p = buf;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // One sign only: from_chars would take a second minus ("--2" as 2).
    if (*p == '+' || *p == '-') return 0.0;
    double value = 0.0;
    const char* end = buf + std::strlen(buf);
    if (std::from_chars(p, end, value, std::chars_format::general).ec != std::errc()) return 0.0;
    return negative ? -value : value;
}

// ---------------------------------------------------------------- SetString

bool PrefsStore::Reserve(std::size_t extra) {
    // Keep the usual reserve free, and never less than this edit needs.
    const std::size_t required = length_ + std::max(kPrefsReserve, extra + 1);
    if (text_ && capacity_ >= required) return true;
    const std::size_t shortfall = required - std::min(required, capacity_);
    const std::size_t steps = (shortfall + kPrefsGrowStep - 1) / kPrefsGrowStep;
    const std::size_t new_capacity = capacity_ + std::max<std::size_t>(steps, 1) * kPrefsGrowStep;
    char* grown = static_cast<char*>(std::realloc(text_, new_capacity));
    if (!grown) return false;
    std::memset(grown + length_, 0, new_capacity - length_);
    text_ = grown;
    capacity_ = new_capacity;
    return true;
}

void PrefsStore::Insert(std::size_t pos, std::string_view bytes) {
    std::memmove(text_ + pos + bytes.size(), text_ + pos, length_ - pos + 1);
    std::memcpy(text_ + pos, bytes.data(), bytes.size());
    length_ += bytes.size();
}

void PrefsStore::Erase(std::size_t pos, std::size_t count) {
    std::memmove(text_ + pos, text_ + pos + count, length_ - pos - count + 1);
    length_ -= count;
}

int PrefsStore::SetString(const char* section, const char* key, const char* value) {
    if (!IsValidSection(section) || !IsValidKey(key)) return kPrefsBadKey;
    if (!value || HasLineBreak(value)) return kPrefsBadValue;

    const std::string_view le = InternalLineEnd(line_end_);
    const std::string header = std::string("[") + section + "]";
    std::string line = std::string(key) + "=" + value;
    line.append(le);
    // Worst case: a missing final line end, then a new section with its line.
    if (!Reserve(2 * le.size() + header.size() + line.size())) return kPrefsNoMemory;

    std::string_view text(text_, length_);
    const std::size_t at = FindHeader(text, header);
    if (at == npos) {
        std::string block(le);
        block.append(header).append(le).append(line);
        Insert(length_, block);
        return 0;
    }

    // Every line of the key goes, not only the first: a file edited by hand
    // may hold it twice, and a later copy left behind would answer
    // GetString once the new line is appended after it.
    for (std::size_t old_line;
         (old_line = FindKeyLine(text, at, SectionEnd(text, at), key)) != npos;
         text = std::string_view(text_, length_)) {
        Erase(old_line, PastLine(text, old_line, le.size()) - old_line);
    }

    text = std::string_view(text_, length_);
    if (SectionEnd(text, at) < length_) {
        // A later section follows: the newest key goes first in its section.
        Insert(PastLine(text, at, le.size()), line);
    } else {
        // Last section: at the end, never joined to a last line that lacks
        // its line end.
        if (length_ > 0 && text_[length_ - 1] != kCR) Insert(length_, le);
        Insert(length_, line);
    }
    return 0;
}

// ---------------------------------------------------------------- Save

int PrefsStore::Save() {
    if (!path_[0] || unreadable_) return kPrefsWriteFailed;
    // A file the user made read-only is not replaced behind its back (the
    // rename below would do it on POSIX; Windows refuses it anyway).
    if (platform::StatPath(path_).read_only) return kPrefsWriteFailed;
    // The file form is built apart from the text, so a failed write leaves
    // memory exactly as it was.
    std::string out;
    if (bom_) out.assign(reinterpret_cast<const char*>(kUtf8Bom), sizeof kUtf8Bom);
    const std::string_view text = text_ ? std::string_view(text_, length_) : std::string_view();
    std::size_t i = text.find_first_not_of("\r\n");
    if (i == npos) i = text.size();
    const bool crlf = std::strcmp(line_end_, "\r\n") == 0;
    const bool lf = std::strcmp(line_end_, "\n") == 0;
    out.reserve(out.size() + text.size() - i);
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c != kCR || (!crlf && !lf)) {
            out.push_back(c);
        } else if (lf) {
            out.push_back('\n');
        } else if (i + 1 < text.size() && text[i + 1] == kCR) {
            out.append("\r\n");
            ++i;
        } else {
            out.push_back(kCR);  // a lone CR in a CR LF file stays as it was read
        }
    }
    return WriteWholeFileAtomic(path_, out.data(), out.size()) ? 0 : kPrefsWriteFailed;
}

// ---------------------------------------------------------------- process-wide

PrefsStore& Prefs() {
    static PrefsStore store;
    return store;
}

bool DefaultPrefsPath(char* buf, std::size_t cap, const char* name) {
    char path[kPathBufferSize];
    if (!platform::GetShellFolder(platform::kFolderAppData, path, sizeof path)) return false;
    if (!AppendPathComponent(path, name && *name ? name : "Glyphoria") ||
        !AppendExtension(path, "ini"))
        return false;
    if (!buf || std::strlen(path) >= cap) return false;
    CopyBounded(buf, cap, path);
    return true;
}

}  // namespace glyphoria
