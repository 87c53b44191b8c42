#pragma once

#include <string>

namespace quorelle {

// An exclusive hold on a data folder for the life of this object: the first
// process to take it owns the folder; another process that tries meanwhile
// is told the folder is in use, and must not write there. The hold is an
// advisory lock (flock) on a lock file inside the folder, which ends with
// the process however it ends.
class DataFolderLock {
public:
    static constexpr const char* lockFileName = ".lock";

    enum class State {
        held,         // this process owns the folder
        inUse,        // another process holds it
        unavailable,  // the lock file cannot be made or locked (nothing can be written there either)
    };

    // Makes the folder (0700) when it is missing, then tries the lock once,
    // without waiting.
    explicit DataFolderLock(const std::string& folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    State state() const { return state_; }
    const std::string& folder() const { return folder_; }
    // What went wrong when the state is `unavailable`.
    const std::string& problem() const { return problem_; }

private:
    std::string folder_;
    int fd_ = -1;
    State state_ = State::unavailable;
    std::string problem_;
};

}  // namespace quorelle
