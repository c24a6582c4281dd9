#include "testing/shop/pacer.h"

#include <algorithm>
#include <thread>

namespace glyphoria::testing::shop {

namespace {

constexpr double kPieceSeconds = 0.005;
constexpr double kBufferSeconds = 0.020;
constexpr std::size_t kSmallestPiece = 1000;
constexpr std::size_t kLargestPiece = 64 * 1024;
// Long sleeps are cut into slices so a stopping shop is noticed soon.
constexpr auto kLongestSleep = std::chrono::milliseconds(50);

}  // namespace

Pacer::Pacer(long kilobytes_per_second, std::function<bool()> stopping)
    : bytes_per_second_(kilobytes_per_second > 0
                            ? static_cast<double>(kilobytes_per_second) * kBytesPerKilobyte
                            : 0),
      stopping_(std::move(stopping)),
      piece_(kLargestPiece),
      cap_(0),
      credit_(0),
      last_(Clock::now()) {
    if (bytes_per_second_ > 0) {
        const auto piece = static_cast<std::size_t>(bytes_per_second_ * kPieceSeconds);
        piece_ = std::clamp(piece, kSmallestPiece, kLargestPiece);
        cap_ = std::max(2.0 * static_cast<double>(piece_), bytes_per_second_ * kBufferSeconds);
    }
}

bool Pacer::Await(std::size_t count) {
    for (;;) {
        if (stopping_ && stopping_()) return false;
        const Clock::time_point now = Clock::now();
        credit_ = std::min(
            cap_, credit_ + bytes_per_second_ * std::chrono::duration<double>(now - last_).count());
        last_ = now;
        if (credit_ >= static_cast<double>(count)) {
            credit_ -= static_cast<double>(count);
            return true;
        }
        const std::chrono::duration<double> wait((static_cast<double>(count) - credit_) /
                                                 bytes_per_second_);
        std::this_thread::sleep_for(std::min<Clock::duration>(
            std::chrono::duration_cast<Clock::duration>(wait) + std::chrono::microseconds(1),
            kLongestSleep));
    }
}

bool Pacer::Write(const char* data, std::size_t length,
                  const std::function<bool(const char*, std::size_t)>& write) {
    if (bytes_per_second_ <= 0) return write(data, length);
    for (std::size_t done = 0; done < length;) {
        const std::size_t count = std::min(piece_, length - done);
        if (!Await(count) || !write(data + done, count)) return false;
        done += count;
    }
    return true;
}

}  // namespace glyphoria::testing::shop
