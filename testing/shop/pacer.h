// A download's pace: at most a given number of bytes per second, the way a
// link of that speed delivers them.
//
// A token bucket on the monotonic clock: credit grows at the rate and is
// capped at 20 ms of it (at least two pieces; a piece is 5 ms of the rate,
// 1 KB to 64 KB), the buffer of a link's slowest hop. A reader that falls
// behind gets no more burst than that buffer holds, and a writer that
// sleeps a little late (a busy machine) loses nothing. Rate 0 means no
// limit. One pacer per answer; not shared between threads.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

namespace glyphoria::testing::shop {

// 1 KB is 1000 bytes here: 50000 KB/s is 50 MB/s.
constexpr std::size_t kBytesPerKilobyte = 1000;

class Pacer {
  public:
    // kilobytes_per_second 0: unpaced. stopping() is asked while waiting and
    // ends the wait (and the writes) when it answers true.
    Pacer(long kilobytes_per_second, std::function<bool()> stopping);

    // Writes data through write(piece, length) in pieces, each when the pace
    // allows. False when a write fails or the shop is stopping.
    bool Write(const char* data, std::size_t length,
               const std::function<bool(const char*, std::size_t)>& write);

    bool paced() const { return bytes_per_second_ > 0; }
    std::size_t piece() const { return piece_; }

  private:
    using Clock = std::chrono::steady_clock;
    // Waits until the credit covers count bytes; false when stopping.
    bool Await(std::size_t count);

    double bytes_per_second_;
    std::function<bool()> stopping_;
    std::size_t piece_;
    double cap_;
    double credit_;
    Clock::time_point last_;
};

}  // namespace glyphoria::testing::shop
