#include "purchase/net_failure_text.h"

#include "support/limits.h"
#include "support/log.h"
#include "support/string_table.h"

namespace glyphoria {

using platform::NetFailure;

const char* NetFailureKey(const platform::NetError& error) {
    switch (error.failure) {
        case NetFailure::kHttpStatus:
            return "netStatus";
        case NetFailure::kTimedOut:
            return "netTimedOut";
        case NetFailure::kRefused:
            return "netRefused";
        case NetFailure::kNameNotFound:
            return "netNameNotFound";
        case NetFailure::kCertificate:
            return "netCertificate";
        case NetFailure::kTooManyRedirects:
            return "netRedirects";
        case NetFailure::kTooLarge:
            return "netTooLarge";
        case NetFailure::kCancelled:
            return "netCancelled";
        case NetFailure::kBroken:
            return "netBroken";
        case NetFailure::kBadAddress:
            return "netBadAddress";
        case NetFailure::kNone:
        case NetFailure::kOther:
            break;
    }
    return "netFailed";
}

void DescribeNetFailure(const platform::NetError& error, char* buf, std::size_t cap) {
    FormatLocalizedUtf8(buf, cap, NetFailureKey(error), error.status);
}

void LogNetFailure(const char* what, const platform::NetError& error) {
    char reason[kMessageBufferSize];
    DescribeNetFailure(error, reason, sizeof reason);
    LogMessage("%s failed: %s\r", what, reason);
}

}  // namespace glyphoria
