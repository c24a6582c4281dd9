// Small file and path operations shared by the log, the preferences store,
// the sampler request, placement and the transfer layer.
//
// Paths are UTF-8. Path rules take the separator as a parameter (the
// platform's by default) so the Windows rules are testable everywhere.
// Operations that extend a caller's buffer take its capacity: a result that
// would not fit leaves the buffer unchanged and returns false (never a write
// past the buffer). Array overloads take the capacity from the array.
// No operation shows a message; failures show only in the results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/path_style.h"

namespace glyphoria {

constexpr unsigned char kUtf8Bom[3] = {0xEF, 0xBB, 0xBF};

// False for an empty or null path; true when the path's attributes can be read.
bool FileExists(const char* path);
// Removes the name: a file, or a link itself (never what it points to). A
// missing name counts as deleted; a read-only attribute is cleared when the
// system refuses the file for it. False for a folder, or when the name
// cannot be removed.
bool DeleteFileForce(const char* path);
// Size from the file's status; 0 for a missing file.
std::uint32_t FileSize(const char* path);
// Opens for reading and writing (binary) and reports the length; 0 when it
// cannot be opened that way (missing, read-only, locked).
std::uint32_t FileSizeIfWritable(const char* path);

// ReadWholeFile status values.
constexpr int kReadOk = 0;
constexpr int kReadNoMemory = 254;
constexpr int kReadCannotOpen = 255;
// Reads the whole file into a new buffer of length + 4 zero-filled bytes (so
// the content is always terminated). The caller frees it with free(). Null on
// failure; *status (optional) tells why; *size (optional) is set whenever the
// file was opened.
char* ReadWholeFile(const char* path, std::uint32_t* size = nullptr, int* status = nullptr);
// Creates or truncates the file and writes the bytes; false when the file
// cannot be created or written, or is no regular file (platform::OpenFile).
bool WriteWholeFile(const char* path, const void* bytes, std::size_t length);
// Replaces a user's file whole. Links are followed (platform::
// ResolveWriteTarget): the file they lead to is replaced and the link stays.
// The bytes go to a temporary file beside that file, are flushed to disk and
// renamed over it, so a crash or a full disk leaves the old file whole; the
// new file keeps the old one's permissions. Temporaries that an interrupted
// write of the same file left behind are removed first. False (the old file
// untouched, no temporary of this write left) when the target is a folder,
// a device, a FIFO, a socket or marked read-only, or on any failure.
bool WriteWholeFileAtomic(const char* path, const void* bytes, std::size_t length);

bool WriteUtf8Bom(std::FILE* file);
// True when the first three bytes are EF BB BF; bytes may be shorter (NUL-terminated).
bool HasUtf8Bom(const void* bytes, std::size_t length);

// 0 when the path exists; otherwise creates that one folder (its parent must
// exist) and returns the platform's result (0 for success).
int CreateFolder(const char* path);

// The folder's UTF-8 path into a 512-byte buffer (see platform/folders.h).
// Identifiers: 5 documents, 26 roaming application data.
bool GetShellFolder(int folder, char* buf, std::size_t cap);

// Appends separator and name.
bool AppendPathComponent(char* buf, std::size_t cap, const char* name,
                         char sep = platform::kPathSeparator);
// Appends "." and the extension.
bool AppendExtension(char* buf, std::size_t cap, const char* ext);
// The extension is the part from the last "." after the last separator (the
// last "." anywhere when there is no separator); it is replaced by new_ext,
// which carries its own dot (".ini"). A path without one gets new_ext appended.
bool ReplaceExtension(char* buf, std::size_t cap, const char* new_ext,
                      char sep = platform::kPathSeparator);
// The part after the last separator (the whole path when there is none);
// without its extension when keep_extension is false. Cut to cap - 1 bytes.
void FileNameOfPath(const char* path, char* buf, std::size_t cap, bool keep_extension,
                    char sep = platform::kPathSeparator);
// Copies the text after the last occurrence of ch; leaves buf unchanged (and
// returns false) when ch does not occur. Cut to cap - 1 bytes.
bool TextAfterLast(const char* text, char ch, char* buf, std::size_t cap);
// Case-insensitive suffix test; suffixes of at most 63 characters; false when
// text is shorter than the suffix.
bool EndsWithNoCase(const char* text, const char* suffix);
// The position after the first CR and every CR and LF that follow it; null
// when text is null or holds no CR.
const char* NextLine(const char* text);

template <std::size_t N>
bool AppendPathComponent(char (&buf)[N], const char* name, char sep = platform::kPathSeparator) {
    return AppendPathComponent(buf, N, name, sep);
}
template <std::size_t N>
bool AppendExtension(char (&buf)[N], const char* ext) {
    return AppendExtension(buf, N, ext);
}
template <std::size_t N>
bool ReplaceExtension(char (&buf)[N], const char* new_ext, char sep = platform::kPathSeparator) {
    return ReplaceExtension(buf, N, new_ext, sep);
}

// Bounded copy: at most cap - 1 bytes and a NUL (nothing when cap == 0).
// Returns the number of bytes copied.
std::size_t CopyBounded(char* dst, std::size_t cap, const char* src);

}  // namespace glyphoria
