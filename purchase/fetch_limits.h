// How long a fetch may wait on a server before it fails like an unreachable
// one (kTimedOut): 15 s to connect, 30 s for the response headers, then 30 s
// without a new byte of the content (platform::kDefaultNetLimits).
//
// Every path keeps them: the windowed fetches (DownloadUrl: the
// configuration, a bought archive), which the user can also cancel sooner,
// and the blocking ones without a window (the purchase probe, the sampler
// image).
//
// Process-wide; tests shorten them and put the defaults back.
#pragma once

#include "platform/net.h"

namespace glyphoria {

constexpr platform::NetLimits kDefaultWindowedFetchLimits = platform::kDefaultNetLimits;
constexpr platform::NetLimits kDefaultBlockingFetchLimits = platform::kDefaultNetLimits;

const platform::NetLimits& WindowedFetchLimits();
const platform::NetLimits& BlockingFetchLimits();
void SetWindowedFetchLimits(const platform::NetLimits& limits);
void SetBlockingFetchLimits(const platform::NetLimits& limits);

}  // namespace glyphoria
