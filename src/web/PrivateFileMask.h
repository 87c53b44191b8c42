#pragma once

#include <sys/types.h>

namespace quorelle {

// While one of these lives, files and folders this process (and any process
// it starts) makes are the user's alone: the file-creation mask is 077. The
// engine's network process takes its mask from this process when it is
// started, and keeps it.
class PrivateFileMask {
public:
    PrivateFileMask();
    ~PrivateFileMask();
    PrivateFileMask(const PrivateFileMask&) = delete;
    PrivateFileMask& operator=(const PrivateFileMask&) = delete;

    // The mode a file the user saves would get from this process's usual
    // mask (0666 less the mask), read without changing the mask.
    static mode_t usualFileMode();

private:
    mode_t previous_;
};

}  // namespace quorelle
