// The text of the terminal progress bar, kept apart from the runner so its
// layout can be checked without a terminal.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glyphoria::platform {

// "TITLE [#####.....]  40%  2.0 MB / 5.0 MB  1.9 MB/s" when the total is known,
// "TITLE  2.0 MB  1.9 MB/s" when it is not (total 0). The bar is 20 cells wide;
// a position past the total shows a full bar. Always NUL-terminated within
// cap; returns the length written.
std::size_t FormatProgressLine(char* buf, std::size_t cap, const char* title,
                               std::uint64_t position, std::uint64_t total,
                               double bytes_per_second);

// "999 B", "1.5 kB", "2.0 MB", "3.1 GB" (powers of 1000).
std::size_t FormatByteCount(char* buf, std::size_t cap, double bytes);

}  // namespace glyphoria::platform
