// The Mac form of the sampler fetch: the renderer's address is the base
// ("mlSamplerUrl", taken whole) followed by the request's parameters
// ("?imagetype=typeit&shopid=..."), fetched with one blocking request. The
// answer's bytes go to "GL_<id>.png" in the temporary folder; the path is
// the preview.
//
// Logged: "samplerURL: <url>", the request's error description when it has
// one, "preview: <path>". Without data nothing is written and there is no
// preview; nor when what is under the name cannot be removed first
// ("preview: cannot replace <path>"). An id that could name another file (empty, over 31 bytes,
// other characters than letters, digits, "-", "_", ".", or a "..") gives no request and no file.
#pragma once

#include <boost/function.hpp>
#include <cstddef>
#include <string>

#include "mac/seam/web_view.h"

namespace glyphoria::mac {

// Blocks until the answer is in: its bytes (possibly none) and, on failure,
// the error. False when the request reports an error.
using SynchronousRequest =
    boost::function<bool(const std::string& url, std::string* data, MacError* error)>;

std::string MacSamplerUrl(const std::string& base, const std::string& parameters);

// The preview path copied into preview_path (cap bytes, for the record's
// 512-byte buffer) and returned; empty, with preview_path emptied, when
// there is no preview. A path that does not fit the buffer is no preview.
std::string FetchMacPreview(const std::string& base, const std::string& parameters, const char* id,
                            char* preview_path, std::size_t cap, const SynchronousRequest& request);

}  // namespace glyphoria::mac
