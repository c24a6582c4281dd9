#include "testing/shop/request_log.h"

#include <strings.h>

namespace glyphoria::testing::shop {

namespace {

// Headers worth a glance in the echo; the record keeps them all.
constexpr const char* kEchoHeaders[] = {"User-Agent", "Range", "Accept-Encoding"};

}  // namespace

std::string LoggedRequest::header(const std::string& name) const {
    for (const auto& item : headers)
        if (strcasecmp(item.first.c_str(), name.c_str()) == 0) return item.second;
    return {};
}

uint64_t RequestLog::Arrived(LoggedRequest request) {
    std::string line;
    uint64_t sequence;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        sequence = next_sequence_++;
        request.sequence = sequence;
        if (echo_) {
            line = "#" + std::to_string(sequence) + " " + request.scheme + " " + request.method +
                   " " + request.target;
            for (const char* name : kEchoHeaders) {
                std::string value = request.header(name);
                if (!value.empty()) line += " [" + std::string(name) + ": " + value + "]";
            }
        }
        requests_.push_back(std::move(request));
    }
    changed_.notify_all();
    if (echo_) echo_(line);
    return sequence;
}

void RequestLog::Answered(uint64_t sequence, int status) {
    std::string line;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = requests_.rbegin(); it != requests_.rend(); ++it) {
            if (it->sequence != sequence) continue;
            it->status = status;
            if (echo_) line = "#" + std::to_string(sequence) + " -> " + std::to_string(status);
            break;
        }
    }
    changed_.notify_all();
    if (echo_ && !line.empty()) echo_(line);
}

std::vector<LoggedRequest> RequestLog::Snapshot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<LoggedRequest> RequestLog::WithPrefix(const std::string& target_prefix) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<LoggedRequest> matching;
    for (const LoggedRequest& request : requests_)
        if (request.target.rfind(target_prefix, 0) == 0) matching.push_back(request);
    return matching;
}

std::optional<LoggedRequest> RequestLog::WaitFor(const std::string& target_prefix,
                                                 std::chrono::milliseconds timeout, bool answered) {
    std::unique_lock<std::mutex> lock(mutex_);
    std::optional<LoggedRequest> found;
    changed_.wait_for(lock, timeout, [&] {
        for (const LoggedRequest& request : requests_) {
            if (request.target.rfind(target_prefix, 0) == 0 && (!answered || request.status != 0)) {
                found = request;
                return true;
            }
        }
        return false;
    });
    return found;
}

void RequestLog::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
}

}  // namespace glyphoria::testing::shop
