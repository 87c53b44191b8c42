#include "store/FileDescriptor.h"

#include <unistd.h>

namespace quorelle {

FileDescriptor::~FileDescriptor() { close(); }

bool FileDescriptor::close() {
    if (fd_ < 0) return true;
    int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
}

int FileDescriptor::release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

}  // namespace quorelle
