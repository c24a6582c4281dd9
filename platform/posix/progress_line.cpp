#include "platform/posix/progress_line.h"

#include <cstdio>

namespace glyphoria::platform {

namespace {

constexpr int kBarCells = 20;

// snprintf result clamped to what actually landed in the buffer.
std::size_t Landed(int written, std::size_t cap) {
    if (written < 0 || cap == 0) return 0;
    return static_cast<std::size_t>(written) < cap ? static_cast<std::size_t>(written) : cap - 1;
}

}  // namespace

std::size_t FormatByteCount(char* buf, std::size_t cap, double bytes) {
    if (!buf || cap == 0) return 0;
    static const char* const kUnits[] = {"kB", "MB", "GB", "TB"};
    if (bytes < 1000) return Landed(std::snprintf(buf, cap, "%.0f B", bytes), cap);
    int unit = -1;
    while (bytes >= 1000 && unit < 3) {
        bytes /= 1000;
        ++unit;
    }
    return Landed(std::snprintf(buf, cap, "%.1f %s", bytes, kUnits[unit]), cap);
}

std::size_t FormatProgressLine(char* buf, std::size_t cap, const char* title,
                               std::uint64_t position, std::uint64_t total,
                               double bytes_per_second) {
    if (!buf || cap == 0) return 0;
    if (!title) title = "";
    char pos[32], tot[32], rate[32];
    FormatByteCount(pos, sizeof pos, static_cast<double>(position));
    FormatByteCount(rate, sizeof rate, bytes_per_second < 0 ? 0 : bytes_per_second);
    if (total == 0) return Landed(std::snprintf(buf, cap, "%s  %s  %s/s", title, pos, rate), cap);
    FormatByteCount(tot, sizeof tot, static_cast<double>(total));
    std::uint64_t shown = position < total ? position : total;
    int percent = static_cast<int>(shown * 100 / total);
    int filled = static_cast<int>(shown * kBarCells / total);
    char bar[kBarCells + 1];
    for (int i = 0; i < kBarCells; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[kBarCells] = '\0';
    return Landed(std::snprintf(buf, cap, "%s [%s] %3d%%  %s / %s  %s/s", title, bar, percent, pos,
                                tot, rate),
                  cap);
}

}  // namespace glyphoria::platform
