// The transfer: open the address, then let the progress window's timer pull
// the content in (transfer_steps.h).
#include "purchase/transfer.h"

#include <cstring>

#include "platform/net.h"
#include "platform/progress.h"
#include "purchase/fetch_limits.h"
#include "purchase/transfer_steps.h"

namespace glyphoria {

int SchemeKindOf(const char* address) {
    if (!address) return kSchemeOther;
    if (std::strncmp(address, "ftp://", 6) == 0) return kSchemeFtp;
    if (std::strncmp(address, "http://", 7) == 0 || std::strncmp(address, "https://", 8) == 0)
        return kSchemeHttp;
    return kSchemeOther;
}

platform::RequestHandle OpenForContent(platform::InternetSession* session, const char* address,
                                       const platform::NetLimits& limits,
                                       platform::NetError* error) {
    platform::RequestHandle request = platform::OpenAddress(session, address, limits, error);
    if (!request) return request;
    const int status = platform::QueryStatusCode(request.get());
    if (status != 0 && !platform::IsSuccessStatus(status)) {
        if (error) *error = platform::NetError{platform::NetFailure::kHttpStatus, status};
        request.reset();
    }
    return request;
}

char* DownloadUrl(const char* address, std::size_t* size, const char* title_key,
                  platform::NetError* error) {
    platform::NetError ignored;
    if (!error) error = &ignored;
    *error = platform::NetError{platform::NetFailure::kOther, 0};
    platform::SessionHandle session = platform::OpenSession(nullptr);
    if (!session) return nullptr;
    platform::RequestHandle request =
        OpenForContent(session.get(), address, WindowedFetchLimits(), error);
    if (!request) return nullptr;

    platform::InternetRequest* open = request.get();
    // An address of no scheme the transfer knows has no length to trust.
    const platform::ContentLength length = SchemeKindOf(address) != kSchemeOther
                                               ? platform::QueryContentLength(open)
                                               : platform::ContentLength{};
    TransferSteps steps(
        length, title_key,
        [open](void* buf, std::size_t max, std::size_t* got) {
            return platform::ReadAvailable(open, buf, max, got);
        },
        [open] { return platform::ReadFailure(open); });
    const int result =
        platform::RunProgress([&steps](platform::ProgressWindow& w) { steps.Start(w); },
                              [&steps](platform::ProgressWindow& w) { steps.Tick(w); });
    char* data = result == platform::kProgressDone ? steps.TakeContent(size) : nullptr;
    if (!data) {
        // Ended by nothing of ours once it was up: the user closed it.
        *error = steps.failure().failure != platform::NetFailure::kNone
                     ? steps.failure()
                     : platform::NetError{steps.started() ? platform::NetFailure::kCancelled
                                                          : platform::NetFailure::kOther,
                                          0};
        return nullptr;
    }
    *error = platform::NetError{};
    return data;
}

}  // namespace glyphoria
