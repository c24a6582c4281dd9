// The progress window's two procedures of a transfer (transfer.h), apart
// from the network and the clock, so a test can drive them tick by tick.
//
// Start sizes the buffer from the announced length (or begins to grow one
// without a length), sets the title and the bar's range, and starts the
// 10 ms timer; an empty document ends the window at once. Each tick reads
// pieces of at most kTransferChunk bytes (the last one of a known length
// exactly what is left), one after another, until nothing more has arrived,
// the content is complete, or kTransferTickBudgetMs have passed since the
// tick began; then it moves the bar once. So a tick never keeps the host's
// thread much longer than its budget (a read begun just before the budget
// ends still finishes), the bar and cancel answer between any two ticks, and
// a fast link is read as fast as it delivers instead of 20000 bytes a tick.
//
// The content buffer is capacity + kTransferSlack bytes, zero past the
// content; TakeContent hands it to the caller (free()). Anything not taken
// is freed with the steps.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

#include "platform/net.h"
#include "platform/progress.h"

namespace glyphoria {

class TransferSteps {
  public:
    using Clock = std::chrono::steady_clock;
    // As platform::ReadAvailable on the request: never waits.
    using Read = std::function<platform::NetRead(void* buf, std::size_t max, std::size_t* got)>;
    // As platform::ReadFailure on the request.
    using Failure = std::function<platform::NetError()>;
    using Now = std::function<Clock::time_point()>;

    TransferSteps(platform::ContentLength length, const char* title_key, Read read, Failure failure,
                  Now now = &Clock::now);
    ~TransferSteps();
    TransferSteps(const TransferSteps&) = delete;
    TransferSteps& operator=(const TransferSteps&) = delete;

    void Start(platform::ProgressWindow& window);
    void Tick(platform::ProgressWindow& window);

    // Whether the window came up (Start ran).
    bool started() const { return started_; }
    // Why a procedure ended the window with a failure; kNone when it did not
    // (the user ended it, or it succeeded).
    const platform::NetError& failure() const { return failure_; }
    // The content after a successful end: the buffer, and its size in *size.
    char* TakeContent(std::size_t* size);

  private:
    bool Reserve(std::size_t need);
    void EndFailed(platform::ProgressWindow& window, platform::NetFailure why);
    // One read into the buffer; true when the tick may read again.
    bool ReadOnce(platform::ProgressWindow& window);

    platform::ContentLength length_;
    const char* title_key_;
    Read read_;
    Failure read_failure_;
    Now now_;
    char* data_ = nullptr;
    std::size_t capacity_ = 0;  // room for content
    std::size_t size_ = 0;      // the announced length, when there is one
    std::size_t received_ = 0;
    bool size_known_ = false;
    bool started_ = false;
    platform::NetError failure_;
};

}  // namespace glyphoria
