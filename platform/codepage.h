// Conversions between 8-bit code pages and UTF-16, by code-page number
// (65001 UTF-8, 10000 Macintosh Roman, 1252 Western, 437 DOS, ...).
//
// Windows: MultiByteToWideChar / WideCharToMultiByte, without best-fit
// replacements (the system's tables map the few unassigned bytes of 1252 to
// the C1 controls of the same number). POSIX: iconv ("CP<n>", with 65001 and
// 10000 mapped to "UTF-8" and "MACINTOSH").
#pragma once

#include <cstddef>

namespace glyphoria::platform {

constexpr unsigned kCodePageUtf8 = 65001;
constexpr unsigned kCodePageMacRoman = 10000;

// The system's 8-bit ("ANSI") code page. POSIX: the locale's character set
// (UTF-8 under a UTF-8 locale).
unsigned AnsiCodePage();

// Converts len bytes (len < 0: up to the NUL) of text to a newly allocated,
// NUL-terminated UTF-16 string (malloc; the caller frees it). Bytes that do
// not convert become U+FFFD. Null only when memory runs out.
char16_t* MultiByteToWide(const char* text, long len, unsigned code_page);

// Converts len UTF-16 units (len < 0: up to the NUL) into out, writing at most
// size bytes of text and then a NUL (so out holds size + 1 bytes). Characters
// the code page lacks become '?'. Returns the number of text bytes written.
std::size_t WideToMultiByte(const char16_t* text, long len, unsigned code_page, char* out,
                            std::size_t size);

}  // namespace glyphoria::platform
