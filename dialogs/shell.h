// The shell and the clipboard: opening a document or address with its
// default program, showing a file in the file manager, putting text on the
// clipboard. Paths and texts are UTF-8.
//
// The shell calls take the path as UTF-16, so names outside the system's
// 8-bit code page open too. Failures are reported only through the result
// (-1); the shell shows nothing.
#pragma once

namespace glyphoria {

// The shell's default verb on the path or address, shown normally: 0, or -1
// when the shell fails.
int OpenWithShell(const char* path);
int OpenWithShellArgs(const char* path, const char* parameters);
// "Explorer" with the verb "Open" and "/n,/select," followed by the path.
int ShowInExplorer(const char* path);

// Replaces the clipboard's content by the text as Unicode text; nothing when
// the clipboard cannot be opened.
void CopyTextToClipboard(const char* text);

}  // namespace glyphoria
