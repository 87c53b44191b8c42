#pragma once

namespace quorelle {

// Owns one open file descriptor (or none, when negative) and closes it.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; false when the close reported a failed write-back.
    bool close();
    // Gives the descriptor up without closing it.
    int release();

private:
    int fd_;
};

}  // namespace quorelle
