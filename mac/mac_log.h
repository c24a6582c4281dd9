// The Mac log: "Glyphoria.txt" in the user's documents folder (or a given
// subfolder of it), UTF-8 with LF line ends and no byte-order mark, no size
// limit. Opening in mode 1 empties the file; mode 0 appends a separator line
// of 37 "-". Both then append the header "dd.mm.yyyy: Glyphoria 1.28, CS 55".
// Every message goes to the system log unchanged and to the file as
// "HH:MM:SS: message".
//
// Messages are printf-style and cut at 8191 bytes on a character boundary.
// Before the log is opened messages reach only the system log; a file that
// cannot be written drops the line silently.
#pragma once

#include <boost/function.hpp>
#include <ctime>
#include <string>

namespace glyphoria::mac {

// A null or empty subfolder means none; a given one is created when missing.
void OpenMacLog(int mode, const char* subfolder = nullptr);
// The same with an explicit folder in place of the documents folder.
void OpenMacLogInFolder(int mode, const std::string& folder, const char* subfolder = nullptr);
// Back to the unopened state (tests).
void CloseMacLog();
const std::string& MacLogPath();

void MacLog(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// A message that is already text: never read as a format.
void MacLogText(const std::string& text);

// The system log alone (start-up's product line).
void SystemLog(const std::string& text);

// "Glyphoria 1.28, CS 55": the product and the host version it was made
// for, as the log header and the system log show them.
std::string ProductBanner();

// Local time for the header and the time stamps; tests fix it.
using MacClock = boost::function<std::tm()>;
void SetMacLogClock(const MacClock& clock);
// Where system-log lines go; standard error by default, empty silences them.
using SystemLogSink = boost::function<void(const std::string&)>;
void SetSystemLogSink(const SystemLogSink& sink);

}  // namespace glyphoria::mac
