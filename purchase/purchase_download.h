// Taking over a link of the cart pages when it is a download of bought fonts:
// the address is probed, and when the answer is a font archive with a file
// name, the archive is fetched under the progress window and saved into the
// user's download folder under that name, or, when the folder already holds
// something of that name, beside it under the first free one ("Fonts (2).zip",
// support/download_name.h): nothing in the folder is ever replaced.
//
// DoBuy returns 1 when it took the address over (the probe succeeded), 0 when
// the web-window library should follow the link itself. A fetch or save that
// fails after a successful probe shows "zipDownloadErr" with the reason as the
// box's detail and still returns 1; the user's own cancel shows nothing. The
// log tells every outcome: "doBuy failed: <reason>" or "doBuy saved: <path>";
// an archive saved under another name than the server's is shown too
// ("savedAs", with both names).
//
// The server's file name comes from Content-Disposition read as its standard
// describes (support/content_disposition.h) and is only ever used as a plain,
// safe name inside the download folder (IsSafeDownloadName): any other name
// fails the probe.
#pragma once

#include <cstddef>
#include <string>

#include "platform/net.h"
#include "support/limits.h"

namespace glyphoria {

// Name of the copy of the first response that every probe leaves behind.
constexpr const char* kFirstResponseCopyName = "b1.htm";

// What became of a purchase, for the tool.
struct BuyOutcome {
    platform::NetError error;  // why the probe or the fetch failed (kNone otherwise)
    std::string saved_path;    // where the archive went; empty when it was not saved
};

int DoBuy(const char* address, BuyOutcome* outcome = nullptr);

// 1 when the address contains "download", its answer has a 2xx status, the
// content type is "application/octet-stream" or "application/zip" (exactly,
// no parameters) and Content-Disposition names a safe file, shorter than 256
// bytes and than cap; the name is then in file_name. Otherwise 0 and
// file_name is left as it was; a disposition without a safe name is logged.
// A 2xx answer is read to its end and kept as "b1.htm" (as far as it
// arrived); an error page is not. *error (optional) says what the network
// did wrong: with 0, why there was no usable answer (none, an error status);
// with either result, why the answer did not arrive whole (it broke off,
// stalled); kNone otherwise.
int ProbePurchase(const char* address, char* file_name, std::size_t cap = kValueBufferSize,
                  platform::NetError* error = nullptr);

// Writes the bytes into the download folder under the name, replacing a file
// of that name whole (written beside it first, then renamed): the probe's
// own copy. The folder is the preference "downloadFolder" (section
// "General"), or the user's downloads folder when that is empty. False when
// the name is not safe, the chosen folder is longer than the setting's 255
// bytes (never cut into another folder's name) or the file cannot be
// written; nothing is shown.
bool SaveToDownloadFolder(const void* bytes, std::size_t length, const char* file_name);

}  // namespace glyphoria
