// Code-page conversions on POSIX through iconv. Code pages are named the way
// glibc knows them: "CP<n>", except UTF-8 (65001), Macintosh Roman (10000),
// US-ASCII (20127) and the ISO 8859 family (28591..28605).
//
// The ANSI code page comes from the locale variables rather than from
// nl_langinfo: the host process may never have called setlocale, and then
// nl_langinfo would always answer ASCII. A UTF-8 locale gives 65001; any
// other (including "C", "POSIX" and an unset locale) gives 1252, the Western
// page that is a superset of ASCII and what the Windows form mostly runs with.
#include "platform/codepage.h"

#include <iconv.h>
#include <strings.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/utf16_units.h"

namespace glyphoria::platform {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char kUnmappable = '?';
constexpr unsigned kCodePageWestern = 1252;

std::string IconvName(unsigned code_page) {
    switch (code_page) {
        case kCodePageUtf8:
            return "UTF-8";
        case kCodePageMacRoman:
            return "MACINTOSH";
        case 20127:
            return "ASCII";
        default:
            break;
    }
    if (code_page >= 28591 && code_page <= 28605) {
        return "ISO-8859-" + std::to_string(code_page - 28590);
    }
    return "CP" + std::to_string(code_page);
}

// char16_t in the machine's own byte order.
const char* WideName() {
    const std::uint16_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1 ? "UTF-16LE" : "UTF-16BE";
}

// Owns one iconv descriptor; invalid when the platform lacks the code page.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

bool ContainsNoCase(const char* text, const char* word) {
    std::size_t n = std::strlen(word);
    for (; *text; ++text) {
        if (strncasecmp(text, word, n) == 0) return true;
    }
    return false;
}

// A growing UTF-16 result buffer (malloc, handed to the caller).
class WideBuffer {
  public:
    explicit WideBuffer(std::size_t units)
        : data_(static_cast<char16_t*>(std::malloc((units + 1) * sizeof(char16_t)))),
          capacity_(units) {}
    ~WideBuffer() { std::free(data_); }
    WideBuffer(const WideBuffer&) = delete;
    WideBuffer& operator=(const WideBuffer&) = delete;

    bool ok() const { return data_ != nullptr; }
    std::size_t used() const { return used_; }
    std::size_t free_units() const { return capacity_ - used_; }
    char* write_pos() { return reinterpret_cast<char*>(data_ + used_); }
    void advance_bytes(std::size_t bytes) { used_ += bytes / sizeof(char16_t); }

    bool Grow() {
        std::size_t capacity = capacity_ * 2 + 16;
        auto* data = static_cast<char16_t*>(std::realloc(data_, (capacity + 1) * sizeof(char16_t)));
        if (!data) return false;
        data_ = data;
        capacity_ = capacity;
        return true;
    }
    bool Push(char16_t unit) {
        if (free_units() == 0 && !Grow()) return false;
        data_[used_++] = unit;
        return true;
    }
    char16_t* Release() {
        data_[used_] = 0;
        char16_t* result = data_;
        data_ = nullptr;
        return result;
    }

  private:
    char16_t* data_;
    std::size_t capacity_;
    std::size_t used_ = 0;
};

// Without a converter for the code page only ASCII is certain.
char16_t* AsciiToWide(const char* text, std::size_t n) {
    WideBuffer out(n);
    if (!out.ok()) return nullptr;
    for (std::size_t i = 0; i < n; ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        out.Push(byte < 0x80 ? static_cast<char16_t>(byte) : kReplacement);
    }
    return out.Release();
}

}  // namespace

unsigned AnsiCodePage() {
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(var);
        if (!value || !*value) continue;
        if (ContainsNoCase(value, "UTF-8") || ContainsNoCase(value, "UTF8")) return kCodePageUtf8;
        return kCodePageWestern;
    }
    return kCodePageWestern;
}

char16_t* MultiByteToWide(const char* text, long len, unsigned code_page) {
    std::size_t n = 0;
    if (text) n = len < 0 ? std::strlen(text) : static_cast<std::size_t>(len);
    Iconv cd(WideName(), IconvName(code_page).c_str());
    if (!cd.valid()) return AsciiToWide(text, n);

    // One byte never gives more than one UTF-16 unit in the code pages in
    // use; the buffer still grows if a converter proves otherwise.
    WideBuffer out(n);
    if (!out.ok()) return nullptr;
    char* in = const_cast<char*>(text);
    std::size_t in_left = n;
    while (in_left > 0) {
        char* out_pos = out.write_pos();
        std::size_t out_left = out.free_units() * sizeof(char16_t);
        std::size_t out_before = out_left;
        std::size_t rc = iconv(cd.get(), &in, &in_left, &out_pos, &out_left);
        out.advance_bytes(out_before - out_left);
        if (rc != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            if (!out.Grow()) return nullptr;
        } else if (errno == EILSEQ) {
            if (!out.Push(kReplacement)) return nullptr;
            ++in;
            --in_left;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        } else {
            // EINVAL: an incomplete sequence at the end of the input.
            if (!out.Push(kReplacement)) return nullptr;
            break;
        }
    }
    return out.Release();
}

std::size_t WideToMultiByte(const char16_t* text, long len, unsigned code_page, char* out,
                            std::size_t size) {
    if (!out) return 0;
    std::size_t n = 0;
    if (text) {
        if (len < 0) {
            while (text[n])
                ++n;
        } else {
            n = static_cast<std::size_t>(len);
        }
    }
    Iconv cd(IconvName(code_page).c_str(), WideName());

    // One character at a time, so a character that does not fit whole is
    // left out instead of being split.
    std::size_t written = 0;
    for (std::size_t i = 0; i < n;) {
        std::size_t units = CharUnits(text, i, n);
        char bytes[16];
        std::size_t count = 0;
        if (units == 1 && IsSurrogate(text[i])) {
            bytes[count++] = kUnmappable;
        } else if (!cd.valid()) {
            bytes[count++] = text[i] < 0x80 ? static_cast<char>(text[i]) : kUnmappable;
        } else {
            char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text + i));
            std::size_t in_left = units * sizeof(char16_t);
            char* out_pos = bytes;
            std::size_t out_left = sizeof bytes;
            if (iconv(cd.get(), &in, &in_left, &out_pos, &out_left) ==
                static_cast<std::size_t>(-1)) {
                iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
                bytes[0] = kUnmappable;
                count = 1;
            } else {
                count = sizeof bytes - out_left;
            }
        }
        if (count > size - written) break;
        std::memcpy(out + written, bytes, count);
        written += count;
        i += units;
    }
    out[written] = '\0';
    return written;
}

}  // namespace glyphoria::platform
