// What the user and the log are told about a fetch that failed: a string-table
// key per reason (German and English), formatted with the HTTP status.
#pragma once

#include <cstddef>

#include "platform/net.h"

namespace glyphoria {

// The key of the reason ("netStatus", "netTimedOut", ...); each takes the
// status as its only argument, and only "netStatus" shows it.
const char* NetFailureKey(const platform::NetError& error);

// The reason in the user's language, cut to cap - 1 bytes.
void DescribeNetFailure(const platform::NetError& error, char* buf, std::size_t cap);

// Writes "<what> failed: <reason>" to the log.
void LogNetFailure(const char* what, const platform::NetError& error);

}  // namespace glyphoria
