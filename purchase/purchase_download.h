// Taking over a link of the cart pages when it is a download of bought fonts:
// the address is probed, and when the answer is a font archive with a file
// name, the archive is fetched under the progress window and saved into the
// user's download folder under that name.
//
// DoBuy returns 1 when it took the address over (the probe succeeded), 0 when
// the web-window library should follow the link itself. A fetch or save that
// fails after a successful probe shows "zipDownloadErr" and still returns 1.
//
// The server's file name is only ever used as a plain name inside the
// download folder: a name with a path separator, "..", a drive or stream
// colon, or a control character is refused (the probe fails).
#pragma once

#include <cstddef>

#include "support/limits.h"

namespace glyphoria {

// Name of the copy of the first response that every probe leaves behind.
constexpr const char* kFirstResponseCopyName = "b1.htm";

int DoBuy(const char* address);

// 1 when the address contains "download", answers with the content type
// "application/octet-stream" or "application/zip" (exactly, no parameters)
// and names a plain file in Content-Disposition (filename="..."), shorter
// than 256 bytes and than cap; the name is then in file_name. Otherwise 0 and
// file_name is left as it was.
int ProbePurchase(const char* address, char* file_name, std::size_t cap = kValueBufferSize);

// Writes the bytes into the download folder under the name: the preference
// "downloadFolder" (section "General"), or the user's downloads folder when
// that is empty. An existing file of that name is replaced whole (written
// beside it first, then renamed). False when the name is not a plain file
// name, the chosen folder is longer than the setting's 255 bytes (never cut
// into another folder's name) or the file cannot be written; nothing is
// shown.
bool SaveToDownloadFolder(const void* bytes, std::size_t length, const char* file_name);

// The file name of a Content-Disposition value: the text between
// filename=" and the next double quote, when shorter than cap. False when
// there is none or it does not fit.
bool ExtractQuotedFileName(const char* disposition, char* out, std::size_t cap);

// A name that stays inside whatever folder it is put in, on every platform.
bool IsPlainFileName(const char* name);

}  // namespace glyphoria
