// Where a download with a server-chosen name may land: which names are safe
// to save under on every platform, and how a download finds a free name
// beside what the folder already holds instead of replacing it.
//
// Safe: not empty or blank, no path separator of either platform, no drive
// or stream colon, no control character, none of the characters Windows
// refuses in names (< > " | ? *), no leading dot (a hidden or dot file, "."
// and ".."), no trailing dot or blank (Windows drops them and would write
// another name), and not a Windows device name (CON, PRN, AUX, NUL, COM0-9,
// LPT0-9, CONIN$, CONOUT$), whatever its case and extension ("nul.zip"). Two
// dots inside a name are fine ("Sans..Bold.zip").
//
// A free name: the name itself, else "<stem> (2)<extension>", " (3)", ...
// up to kMaxNameNumber, as browsers number downloads ("Fonts (2).zip").
#pragma once

#include <cstddef>
#include <string>

namespace glyphoria {

constexpr int kMaxNameNumber = 999;

bool IsSafeDownloadName(const char* name);

// "Fonts.zip", 2 -> "Fonts (2).zip"; "Fonts", 2 -> "Fonts (2)". The
// extension is the part from the last dot.
std::string NumberedName(const std::string& name, int number);

// The folder joined with the first of name, NumberedName(name, 2), ... that
// names nothing there yet (not even a dangling link); empty when none is free
// or the path would not fit max_path bytes. Only a hint for a writer that
// creates the file itself: the name may be taken by the time it does.
std::string FreePathIn(const std::string& folder, const std::string& name, std::size_t max_path);

// Writes the bytes into the folder under the name, or under the first free
// numbered name when something is there: a file already in the folder is
// never replaced or touched, also when another program takes the name
// meanwhile. The file is written whole under a temporary name first
// (".glyphoria-<12 hex digits>.part"), so a failure leaves nothing behind;
// the temporaries an interrupted download left are removed first. True with the path used in *saved_path;
// false when no name is free, a path would not fit max_path bytes, or the
// file cannot be written.
bool SaveUnderFreeName(const std::string& folder, const std::string& name, const void* bytes,
                       std::size_t length, std::size_t max_path, std::string* saved_path);

}  // namespace glyphoria
