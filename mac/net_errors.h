// What the Mac's URL loading reports for a failed fetch: the NSURLErrorDomain
// error of the same cause, with the system's (English) description, so the
// Mac forms on this machine tell the user what a Mac would.
#pragma once

#include "mac/seam/web_view.h"
#include "platform/net.h"

namespace glyphoria::mac {

MacError MacErrorOf(const platform::NetError& error);

}  // namespace glyphoria::mac
