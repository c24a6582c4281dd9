#include "purchase/transfer_steps.h"

#include <cstdlib>
#include <cstring>

#include "purchase/transfer.h"
#include "support/limits.h"
#include "support/string_table.h"

namespace glyphoria {

namespace {

using platform::ProgressWindow;

constexpr std::size_t kFirstUnknownCapacity = 64 * 1024;

}  // namespace

TransferSteps::TransferSteps(platform::ContentLength length, const char* title_key, Read read,
                             Failure failure, Now now)
    : length_(length),
      title_key_(title_key ? title_key : ""),
      read_(std::move(read)),
      read_failure_(std::move(failure)),
      now_(std::move(now)) {}

TransferSteps::~TransferSteps() {
    std::free(data_);
}

void TransferSteps::EndFailed(ProgressWindow& window, platform::NetFailure why) {
    failure_ = platform::NetError{why, 0};
    window.End(platform::kProgressFailed);
}

// Makes room for need bytes of content, keeping the zero slack behind it.
bool TransferSteps::Reserve(std::size_t need) {
    if (need <= capacity_) return true;
    if (need > kMaxTransferSize) return false;
    std::size_t grown = capacity_ * 2;
    if (grown < kFirstUnknownCapacity) grown = kFirstUnknownCapacity;
    if (grown < need) grown = need;
    if (grown > kMaxTransferSize) grown = kMaxTransferSize;
    auto* data = static_cast<char*>(std::realloc(data_, grown + kTransferSlack));
    if (!data) return false;
    std::memset(data + received_, 0, grown + kTransferSlack - received_);
    data_ = data;
    capacity_ = grown;
    return true;
}

void TransferSteps::Start(ProgressWindow& window) {
    started_ = true;
    bool allocated = false;
    if (!length_.known) {
        allocated = Reserve(kTransferChunk);
    } else if (length_.bytes <= kMaxTransferSize) {
        size_known_ = true;
        size_ = static_cast<std::size_t>(length_.bytes);
        data_ = static_cast<char*>(std::calloc(size_ + kTransferSlack, 1));
        capacity_ = size_;
        allocated = data_ != nullptr;
    }
    if (!allocated) {
        EndFailed(window, platform::NetFailure::kTooLarge);
        return;
    }
    char title[kValueBufferSize];
    GetLocalizedText(title_key_, title, sizeof title);
    window.SetTitle(title);
    window.SetRange(size_known_ ? size_ : 0);
    if (size_known_ && size_ == 0) {
        window.End(platform::kProgressDone);  // an empty document: nothing to read
        return;
    }
    window.StartTimer(kTransferTickMs);
}

bool TransferSteps::ReadOnce(ProgressWindow& window) {
    std::size_t want = kTransferChunk;
    if (size_known_) {
        if (size_ - received_ < want) want = size_ - received_;
    } else if (!Reserve(received_ + want)) {
        EndFailed(window, platform::NetFailure::kTooLarge);
        return false;
    }
    std::size_t got = 0;
    switch (read_(data_ + received_, want, &got)) {
        case platform::kNetData:
            received_ += got;
            if (size_known_ && received_ >= size_) {
                window.End(platform::kProgressDone);
                return false;
            }
            return true;
        case platform::kNetPending:
            return false;  // nothing more yet; the next tick asks again (the seam keeps the stall
                           // limit)
        case platform::kNetEnd:
            // The stream ended: complete when no length was announced, cut
            // short (and so failed) when one was.
            if (size_known_)
                EndFailed(window, platform::NetFailure::kBroken);
            else
                window.End(platform::kProgressDone);
            return false;
        case platform::kNetFailed:
            failure_ = read_failure_ ? read_failure_() : platform::NetError{};
            if (failure_.failure == platform::NetFailure::kNone)
                failure_.failure = platform::NetFailure::kBroken;
            window.End(platform::kProgressFailed);
            return false;
    }
    return false;
}

void TransferSteps::Tick(ProgressWindow& window) {
    const Clock::time_point begun = now_();
    const std::size_t before = received_;
    while (ReadOnce(window) && now_() - begun < std::chrono::milliseconds(kTransferTickBudgetMs)) {
    }
    if (received_ != before) window.SetPosition(received_);
}

char* TransferSteps::TakeContent(std::size_t* size) {
    // Return the spare room of a buffer grown for an unknown length.
    if (!size_known_ && capacity_ != received_) {
        if (auto* data = static_cast<char*>(std::realloc(data_, received_ + kTransferSlack))) {
            data_ = data;
            capacity_ = received_;
        }
    }
    if (size) *size = size_known_ ? size_ : received_;
    char* data = data_;
    data_ = nullptr;
    return data;
}

}  // namespace glyphoria
