// The log file: a plain-text trace in the user's documents folder, for
// support. Every message is formatted into 8192 bytes, echoed to standard
// output and appended to the file, which is opened and closed each time so it
// is complete even when the host crashes. Failures drop the message silently.
#pragma once

#include <cstddef>

namespace glyphoria {

// Sets up the path (documents folder, the vendor folder if not empty — null
// means "Kestrelworks" — then "Glyphoria.txt") and the level (0 off). A file
// over 100000 bytes is deleted; mode 1 makes sure the file starts with the
// UTF-8 byte-order mark.
void OpenLog(int mode, const char* vendor_folder);
// Same, with an explicit folder in place of the documents folder (tools, tests).
void OpenLogInFolder(int mode, const char* folder, const char* vendor_folder);

// printf-style; a message that is empty or does not fit 8192 bytes is dropped.
void LogMessage(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// "%s%02d:%02d:%02d%s" with the local time; a null suffix means "\r".
void LogTime(const char* prefix, const char* suffix);

int LogLevel();
const char* LogPath();
// Standard-output echo on or off (on by default; tools quiet it).
void SetLogEcho(bool on);

}  // namespace glyphoria
