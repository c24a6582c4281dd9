#include "mac/net_errors.h"

#include <string>

namespace glyphoria::mac {

MacError MacErrorOf(const platform::NetError& error) {
    using platform::NetFailure;
    const char* domain = "NSURLErrorDomain";
    switch (error.failure) {
        case NetFailure::kHttpStatus:
            return {domain, -1011,
                    "The server answered with HTTP status " + std::to_string(error.status) + "."};
        case NetFailure::kTimedOut:
            return {domain, -1001, "The request timed out."};
        case NetFailure::kRefused:
            return {domain, -1004, "Could not connect to the server."};
        case NetFailure::kNameNotFound:
            return {domain, -1003, "A server with the specified hostname could not be found."};
        case NetFailure::kCertificate:
            return {domain, -1202, "The certificate for this server is invalid."};
        case NetFailure::kTooManyRedirects:
            return {domain, -1007, "Too many HTTP redirects."};
        case NetFailure::kTooLarge:
            return {domain, -1103, "The resource exceeds the maximum size."};
        case NetFailure::kCancelled:
            return {domain, -999, "cancelled"};
        case NetFailure::kBroken:
            return {domain, -1005, "The network connection was lost."};
        case NetFailure::kBadAddress:
            return {domain, -1002, "unsupported URL"};
        case NetFailure::kNone:
        case NetFailure::kOther:
            break;
    }
    return {domain, -1, "An unknown error occurred."};
}

}  // namespace glyphoria::mac
