// Splitting one fuzz input into the values a target needs. Every taker
// consumes bytes from the front and gives something sensible (0, "") once
// the input runs out, so a target never reads past its input.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace glyphoria::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::size_t remaining() const { return size_ - pos_; }

    std::uint8_t Byte() { return empty() ? 0 : data_[pos_++]; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
    std::uint64_t Bits64() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= static_cast<std::uint64_t>(Byte()) << (8 * i);
        return v;
    }

    // Bytes up to (not including) the next `end` byte, or to the end of the input.
    std::string Until(char end) {
        std::string out;
        while (!empty()) {
            const char c = static_cast<char>(data_[pos_++]);
            if (c == end) break;
            out.push_back(c);
        }
        return out;
    }
    // Up to n bytes.
    std::string Take(std::size_t n) {
        if (n > remaining()) n = remaining();
        std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return out;
    }
    std::string Rest() { return Take(remaining()); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Where a target makes its scratch folder: memory-backed when the machine
// has it, since every Save flushes to the disk and a real disk would make
// the flush most of the run.
inline const char* ScratchRoot() {
    static const char* root = [] {
        struct stat st;
        return stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && access("/dev/shm", W_OK) == 0
                   ? "/dev/shm"
                   : "/tmp";
    }();
    return root;
}

// A fresh folder "<scratch root>/<prefix>XXXXXX", removed when the process
// exits; aborts when it cannot be made.
inline const std::string& ScratchFolder(const char* prefix) {
    static const std::string& folder = *[prefix] {
        std::string pattern = std::string(ScratchRoot()) + "/" + prefix + "XXXXXX";
        if (!mkdtemp(&pattern[0])) std::abort();
        std::atexit([] { std::filesystem::remove_all(ScratchFolder(nullptr)); });
        return new std::string(pattern);
    }();
    return folder;
}

// The text up to its first NUL: what a C string of these bytes holds.
inline std::string CString(const std::string& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

// Whole UTF-8 characters only: every lead byte (C0-DF, E0-EF, F0-F7) with
// all its continuation bytes. Shortest forms are not required: the targets
// check where texts are cut, not what the input held.
inline bool IsWholeUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80                ? 1
                              : c >= 0xF0 && c < 0xF8 ? 4
                              : c >= 0xE0 && c < 0xF0 ? 3
                              : c >= 0xC0 && c < 0xE0 ? 2
                                                      : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

}  // namespace glyphoria::fuzz
