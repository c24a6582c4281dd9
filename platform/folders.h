// Well-known per-user folders.
//
// GetShellFolder writes the folder's UTF-8 path, without a trailing
// separator, into buf (bounded by cap, always NUL-terminated when cap > 0) and
// returns true; on failure it returns false and leaves buf as an empty string.
//
// Windows: documents and application data are the shell folders' default
// paths (SHGetFolderPathW); downloads the Downloads known folder (else
// "Downloads" in the profile folder); fonts "Microsoft\Windows\Fonts" in the
// local application data (created when missing); temp GetTempPathW.
// POSIX: XDG folders, with these fallbacks:
//   kFolderAppData   $XDG_CONFIG_HOME, else ~/.config (created when missing)
//   kFolderPersonal  $XDG_DOCUMENTS_DIR (or user-dirs.dirs), else ~/Documents
//                    when it exists, else the home folder
//   kFolderDownloads $XDG_DOWNLOAD_DIR (or user-dirs.dirs), else ~/Downloads
//   kFolderFonts     $XDG_DATA_HOME/fonts, else ~/.local/share/fonts (created
//                    when missing)
//   kFolderTemp      $TMPDIR, else /tmp
//   kFolderUserTemp  "glyphoria-<uid>" in kFolderTemp, a folder only this
//                    user can write: made with mode 0700 when missing, given
//                    0700 again when it is ours but others may write it, and
//                    refused (false) when it is no folder (a link, a file)
//                    or someone else owns it, since whoever owns it could
//                    put files under the names we write and read.
// Windows: kFolderUserTemp is kFolderTemp, already the user's own.
#pragma once

#include <cstddef>

namespace glyphoria::platform {

enum ShellFolder {
    kFolderPersonal = 5,  // the user's documents
    kFolderAppData = 26,  // roaming application data
    kFolderDownloads = 1000,
    kFolderFonts = 1001,
    kFolderTemp = 1002,
    kFolderUserTemp = 1003,
};

bool GetShellFolder(int folder, char* buf, std::size_t cap);

}  // namespace glyphoria::platform
