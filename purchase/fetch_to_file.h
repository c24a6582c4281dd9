// Fetching a document straight into a file, blocking, without a window (the
// sampler's preview image). The caller writes its own log line for the
// address; a failed fetch adds "fetch failed: <reason>".
//
// An earlier file at path is deleted first, so success means exactly that
// the file exists afterwards: an unreachable server, a status other than 2xx,
// a stalled transfer (see fetch_limits.h) or a broken connection leave no
// file.
#pragma once

namespace glyphoria {

// 1 when the file exists after the fetch, else 0.
int FetchToFile(const char* address, const char* path);

}  // namespace glyphoria
