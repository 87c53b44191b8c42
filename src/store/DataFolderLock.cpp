#include "store/DataFolderLock.h"

#include "store/FileDescriptor.h"

#include <glib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorelle {

DataFolderLock::DataFolderLock(const std::string& folder) : folder_(folder) {
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) {
        problem_ = std::strerror(errno);
        return;
    }
    folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0) {
        problem_ = std::strerror(errno);
        return;
    }
    state_ = lock(folderFd_);
    if (state_ != State::held) return;
    lockFileToo();
}

DataFolderLock::~DataFolderLock() {
    for (int fd : {lockFileFd_, folderFd_})
        if (fd >= 0) ::close(fd);
}

DataFolderLock::State DataFolderLock::lock(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return State::held;
    if (errno == EWOULDBLOCK) return State::inUse;
    problem_ = std::strerror(errno);
    return State::unavailable;
}

void DataFolderLock::lockFileToo() {
    // Never through a link, never anything but a plain file.
    FileDescriptor file(::openat(folderFd_, lockFileName, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                                 0600));
    struct stat info;
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    if (::flock(file.get(), LOCK_EX | LOCK_NB) == 0)
        lockFileFd_ = file.release();
    else if (errno == EWOULDBLOCK)
        state_ = State::inUse;
}

}  // namespace quorelle
