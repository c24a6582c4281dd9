// The operating system's own text for an error code, for the message that
// reports it (support/messages.h ShowSystemError).
//
// Code 0 stands for the calling thread's last error (POSIX: errno; Windows:
// GetLastError), read before anything else can change it. The text is UTF-8
// and is never to be used as a printf format.
#pragma once

#include <string>

namespace glyphoria::platform {

std::string SystemErrorText(int code);

// Tests put their own texts in place of the system's (null restores them);
// the system's texts never hold the awkward cases a caller must survive.
using SystemErrorTextSource = std::string (*)(int code);
void SetSystemErrorTextSource(SystemErrorTextSource source);

}  // namespace glyphoria::platform
