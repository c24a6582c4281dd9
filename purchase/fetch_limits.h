// How long a fetch may wait on a server before it fails like an unreachable
// one.
//
// Windowed fetches (DownloadUrl) can be cancelled by the user once the window
// shows, but opening the address comes first: it gets a 15 s connect timeout
// and 30 s for the response headers to arrive. Blocking fetches (the purchase
// probe, the sampler image) have no window and no cancel: on top of that they
// fail when less than 1 byte per second arrives for 30 s in a row.
//
// Process-wide; tests shorten them and put the defaults back.
#pragma once

#include "platform/net.h"

namespace glyphoria {

constexpr platform::NetLimits kDefaultWindowedFetchLimits{15000, 30000, 0, 0};
constexpr platform::NetLimits kDefaultBlockingFetchLimits{15000, 30000, 1, 30};

const platform::NetLimits& WindowedFetchLimits();
const platform::NetLimits& BlockingFetchLimits();
void SetWindowedFetchLimits(const platform::NetLimits& limits);
void SetBlockingFetchLimits(const platform::NetLimits& limits);

}  // namespace glyphoria
