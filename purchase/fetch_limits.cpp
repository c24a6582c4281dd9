#include "purchase/fetch_limits.h"

namespace glyphoria {

namespace {
// Everything runs on the interface thread; no lock needed.
platform::NetLimits g_windowed = kDefaultWindowedFetchLimits;
platform::NetLimits g_blocking = kDefaultBlockingFetchLimits;
}  // namespace

const platform::NetLimits& WindowedFetchLimits() {
    return g_windowed;
}
const platform::NetLimits& BlockingFetchLimits() {
    return g_blocking;
}
void SetWindowedFetchLimits(const platform::NetLimits& limits) {
    g_windowed = limits;
}
void SetBlockingFetchLimits(const platform::NetLimits& limits) {
    g_blocking = limits;
}

}  // namespace glyphoria
