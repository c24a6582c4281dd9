// Fetching a whole document into memory under a modal progress window that
// can be cancelled (the remote configuration, a bought font archive).
//
// DownloadUrl returns a buffer of the content followed by at least 1000 zero
// bytes (so a text document reads as a NUL-terminated string), or null when
// the address cannot be opened, the final status is not 2xx (the error page
// is never read), the transfer fails, nothing arrives for the stall limit
// (fetch_limits.h), the content ends short of its announced length, it is
// too large to hold, or the user cancels; *error (optional) then says which
// (kCancelled for the user's cancel). The buffer belongs to the caller, who
// releases it with free(). On success the content's size is stored through
// size when it is not null. No message is shown; callers decide what the user
// sees.
//
// The window's 10 ms ticks read what has arrived, 20000 bytes at a time, for
// at most a few milliseconds each (transfer_steps.h), so a transfer runs at
// the link's speed while the bar moves and cancel answers. A document whose
// length is not announced (chunked answers, https without a length) is read
// to the end of the stream.
#pragma once

#include <cstddef>

#include "platform/net.h"

namespace glyphoria {

// Scheme kinds of the transfer record; https counts as http.
constexpr int kSchemeOther = 0;
constexpr int kSchemeFtp = 1;
constexpr int kSchemeHttp = 3;

// Largest content a transfer holds; anything announced or arriving beyond it
// fails the transfer (the original's 4-byte signed size).
constexpr std::size_t kMaxTransferSize = 0x7FFFFFFF - 1000;

// title_key: string-table key of the window title ("downloading"); an empty
// key gives an empty title.
char* DownloadUrl(const char* address, std::size_t* size, const char* title_key,
                  platform::NetError* error = nullptr);

// Opens the address for its content: a final status other than 2xx closes
// the request at once and fails with kHttpStatus. Empty on failure, with
// *error (optional) saying why.
platform::RequestHandle OpenForContent(platform::InternetSession* session, const char* address,
                                       const platform::NetLimits& limits,
                                       platform::NetError* error);

// The scheme kind of an address (case-sensitive prefix test).
int SchemeKindOf(const char* address);

}  // namespace glyphoria
