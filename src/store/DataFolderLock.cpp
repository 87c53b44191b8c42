#include "store/DataFolderLock.h"

#include <glib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quorelle {

DataFolderLock::DataFolderLock(const std::string& folder) : folder_(folder) {
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) {
        problem_ = std::strerror(errno);
        return;
    }
    const std::string path = folder + "/" + lockFileName;
    // Close-on-exec: a helper process the browser starts must not keep the
    // folder locked after the browser is gone.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        problem_ = std::strerror(errno);
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        state_ = State::held;
    } else if (errno == EWOULDBLOCK) {
        state_ = State::inUse;
    } else {
        problem_ = std::strerror(errno);
    }
}

DataFolderLock::~DataFolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace quorelle
