// In-memory record of every request the shop received, in arrival order.
//
// A request is recorded when it arrives (so a test can see a request that is
// still being answered, a stalled download for example) and gets the status
// of its answer once that has been written or broken off (0 until then).
// Safe to use from any thread; readers get copies.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace glyphoria::testing::shop {

struct LoggedRequest {
    uint64_t sequence = 0;
    std::string scheme;  // "http" or "https"
    std::string method;
    std::string target;  // path and query exactly as requested
    std::string path;    // decoded path
    std::vector<std::pair<std::string, std::string>> headers;
    int status = 0;

    // First header of that name (any letter case); "" when absent.
    std::string header(const std::string& name) const;
};

class RequestLog {
  public:
    // Called with one line per arrival and per answer when set (the program
    // echoes to stderr); set before the shop starts.
    void set_echo(std::function<void(const std::string&)> echo) { echo_ = std::move(echo); }

    uint64_t Arrived(LoggedRequest request);
    void Answered(uint64_t sequence, int status);

    std::vector<LoggedRequest> Snapshot() const;
    // Requests whose target starts with the prefix.
    std::vector<LoggedRequest> WithPrefix(const std::string& target_prefix) const;
    void Clear();
    // The first request whose target starts with the prefix, once it has
    // arrived (answered false) or its answer is done (answered true);
    // nullopt when none does within the timeout.
    std::optional<LoggedRequest> WaitFor(const std::string& target_prefix,
                                         std::chrono::milliseconds timeout, bool answered = true);

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<LoggedRequest> requests_;
    uint64_t next_sequence_ = 1;
    std::function<void(const std::string&)> echo_;
};

}  // namespace glyphoria::testing::shop
