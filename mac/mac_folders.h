// The folders the Mac forms use, and path joining for them.
//
// On a Mac they are the user's Application Support, Documents and temporary
// folders and the plug-in bundle's resources. The headless build takes the
// user's own folder in the shared temporary folder (platform/folders.h) for
// the Mac's private temporary folder, and puts
// Application Support at $XDG_DATA_HOME/Glyphoria-mac-support (else
// ~/.local/share/Glyphoria-mac-support) and the bundle's resources at the
// source tree's mac/resources; both can be set explicitly (shell, tests).
// An empty result means the folder is not known.
#pragma once

#include <string>

namespace glyphoria::mac {

std::string ApplicationSupportFolder();
std::string DocumentsFolder();
std::string TemporaryFolder();
std::string BundleResourcesFolder();

// An empty path restores the default.
void SetApplicationSupportFolder(const std::string& path);
void SetBundleResourcesFolder(const std::string& path);

// folder + "/" + name (no doubled separator).
std::string JoinPath(const std::string& folder, const std::string& name);
// Creates every missing folder on the way to path; true when it is a folder
// afterwards.
bool CreateFolders(const std::string& path);

}  // namespace glyphoria::mac
