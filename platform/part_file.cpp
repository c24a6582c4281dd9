#include "platform/part_file.h"

#include "platform/fs.h"

namespace glyphoria::platform {

namespace {

// The folder part of a path (either separator), "." when there is none.
std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

PartFile::~PartFile() {
    if (open_) Finish(false);
}

bool PartFile::Open(const char* path) {
    if (open_ || !path || !*path) return false;
    target_ = path;
    const std::string folder = FolderOf(target_);
    const std::string prefix = NameOf(target_) + ".part-";
    RemoveLeftovers(folder.c_str(), prefix.c_str(), "");
    open_ = file_.CreateUnique(folder.c_str(), prefix.c_str(), "", temp_, sizeof temp_);
    return open_;
}

bool PartFile::Write(const void* bytes, std::size_t length) {
    return open_ && file_.Write(bytes, length);
}

bool PartFile::Finish(bool keep) {
    if (!open_) return false;
    open_ = false;
    bool ok = file_.Close() && keep;
    ok = ok && RenameReplace(temp_, target_.c_str());
    if (!ok) RemoveFile(temp_);
    return ok;
}

}  // namespace glyphoria::platform
