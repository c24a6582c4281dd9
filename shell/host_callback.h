// The callback through which the web-window library asks the plug-in for
// things: a command word and one pointer-sized argument, answered with a
// 32-bit integer. The plug-in hands it over with the "version" command.
//
// Commands, compared exactly and case-sensitively in this order; a null
// argument counts as "" for the commands that take text:
//   "hostWnd"       the host window handle (0 before the idle task ran)
//   "doTry"         TryFont with the try argument; 0
//   "doRevert"      RevertFrames; 0
//   "doHomepage"    OpenHomepage; 0
//   "doNewWindow"   nothing; 0
//   "doBuy"         DoBuy: 1 when it took the address, else 0
//   "prefString"    KeyValueArgs: the stored value of key into value, whose
//                   capacity is 255 bytes: at most 254 bytes and a NUL,
//                   never half a UTF-8 character; a missing key leaves value
//                   untouched; 0
//   "langString"    KeyValueArgs: the key's localised text (the key itself
//                   when it has none) in the system's 8-bit code page into
//                   value, at most 512 bytes and a NUL, never half a
//                   character; 0
//   "setPrefString" KeyValueArgs: stores value under key and writes the
//                   preferences file before returning; a key or value the
//                   store refuses (line breaks, "=" in the key) is not
//                   stored; 0
// Anything else: 0. The KeyValueArgs commands do nothing without a record,
// a key or a value buffer. Nothing reports an error to the library.
#pragma once

#include <cstdint>

namespace glyphoria {

// The argument of the three string commands.
struct KeyValueArgs {
    const char* key;
    char* value;
};

extern "C" std::int32_t HostCommandCallback(const char* command, std::intptr_t argument);

// The "doHomepage" handler: the preference "homepage" (else, or when it is
// empty, the product's web site) handed to the system's default handler.
void OpenHomepage();

}  // namespace glyphoria
