#pragma once

#include <chrono>

namespace quorelle {

class DataFolderLock;

// Start-up care of the data folder by the process that holds it: removes the
// temporary files of saves that a crash cut short (AtomicFile's hidden
// ".<name>.tmp-XXXXXX" files), and makes the folder private again: every
// permission of the group and of others is taken away, from the folder and
// from every folder and file in it, and a file's execute bits too. Nothing
// is ever given back: what its owner made read-only (or closed to itself)
// stays so, and a folder it cannot list is not looked into.
//
// Nothing is reached through a symbolic link: a link is neither removed nor
// changed and its target is never touched, and a data folder that is itself
// a link is left alone. Anything but plain files and folders (pipes, sockets,
// devices) is left as it is. Failures are ignored: the browser runs on.
class DataFolderTidy {
public:
    using Clock = std::chrono::system_clock;

    // Does nothing unless `lock` is held, so that the live temporary files of
    // a process that owns the folder are never taken from it. A leftover is
    // removed only when it was last written before `processStart`.
    static void run(const DataFolderLock& lock, Clock::time_point processStart);
};

}  // namespace quorelle
