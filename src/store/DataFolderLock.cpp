#include "store/DataFolderLock.h"

#include "store/FileDescriptor.h"
#include "store/FolderTree.h"

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
        fail(Step::make, errno);
        return;
    }
    folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0) {
        fail(Step::open, errno);
        return;
    }
    state_ = lock(folderFd_);
    if (state_ != State::held) return;
    lockFileToo();
}

bool DataFolderLock::tryAgain() {
    if (state_ != State::inUse) return state_ == State::held;
    state_ = lock(folderFd_);
    if (state_ == State::held) lockFileToo();
    // Only the folder's lock was had: it is let go, for the lock file's holder
    // (on another machine) to keep the folder.
    if (state_ == State::inUse) ::flock(folderFd_, LOCK_UN);
    return state_ == State::held;
}

void DataFolderLock::leaveNote(const std::string& note) {
    if (state_ != State::held || lockFileFd_ < 0) return;
    // Shortened first: a reader may find it empty or cut short, never a mix
    // of two notes.
    if (::ftruncate(lockFileFd_, 0) != 0) return;
    ::pwrite(lockFileFd_, note.data(), note.size(), 0);
}

std::string DataFolderLock::note() const {
    if (folderFd_ < 0) return {};
    FileDescriptor file(::openat(folderFd_, lockFileName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info;
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    char text[512];
    const ssize_t got = ::pread(file.get(), text, sizeof text, 0);
    return got > 0 ? std::string(text, static_cast<std::size_t>(got)) : std::string();
}

DataFolderLock::~DataFolderLock() {
    for (int fd : {lockFileFd_, folderFd_})
        if (fd >= 0) ::close(fd);
}

void DataFolderLock::fail(Step step, int error) {
    failedStep_ = step;
    // A file or a loop of links on the way says more than "Not a directory"
    // or "File exists".
    const auto noFolder = FolderTree::noFolderOnTheWay(AT_FDCWD, folder_, "");
    problem_ = noFolder ? *noFolder : std::strerror(error);
}

DataFolderLock::State DataFolderLock::lock(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return State::held;
    if (errno == EWOULDBLOCK) return State::inUse;
    failedStep_ = Step::lock;
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
