// What a disk may hold where a file is expected, POSIX only: a FIFO, a
// socket, a link to a device (/dev/null) and a folder, made in a test's
// folder. The FIFO has a reader at its other end, so that a write which
// wrongly goes ahead lands there, where Untouched() sees it, instead of
// hanging the test.
#pragma once

#ifndef _WIN32

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/common/test_env.h"

namespace glyphoria::testing {

class SpecialFiles {
  public:
    // Names end in extension (".ini": what the preferences store asks for).
    SpecialFiles(const TempDir& dir, const std::string& extension)
        : fifo(dir.file("fifo" + extension)),
          socket(dir.file("socket" + extension)),
          device(dir.file("null" + extension)),
          folder(dir.file("folder" + extension)) {
        namespace fs = std::filesystem;
        if (mkfifo(fifo.c_str(), 0600) != 0) return;
        reader_ = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (reader_ < 0 || socket_ < 0 || socket.size() >= sizeof address.sun_path) return;
        socket.copy(address.sun_path, socket.size());
        if (bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
        fs::create_symlink("/dev/null", device);
        made_ = fs::create_directory(folder);
    }
    ~SpecialFiles() {
        if (reader_ >= 0) ::close(reader_);
        if (socket_ >= 0) ::close(socket_);
    }
    SpecialFiles(const SpecialFiles&) = delete;
    SpecialFiles& operator=(const SpecialFiles&) = delete;

    bool made() const { return made_; }
    std::vector<std::string> paths() const { return {fifo, socket, device, folder}; }
    // Each is still what it was, the folder empty, and nothing reached the
    // FIFO's reader.
    bool Untouched() const {
        namespace fs = std::filesystem;
        char got[16];
        return ::read(reader_, got, sizeof got) <= 0 && fs::is_fifo(fifo) &&
               fs::is_socket(socket) && fs::is_symlink(device) &&
               fs::is_character_file("/dev/null") && fs::is_directory(folder) &&
               fs::is_empty(folder);
    }

    const std::string fifo, socket, device, folder;

  private:
    int reader_ = -1;
    int socket_ = -1;
    bool made_ = false;
};

}  // namespace glyphoria::testing

#endif  // !_WIN32
