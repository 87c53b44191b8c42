#pragma once

#include <string>

namespace quorelle {

// An exclusive hold on a data folder for the life of this object: the first
// process to take it owns the folder; another process that tries meanwhile
// is told the folder is in use, and must not write there. The hold is an
// advisory lock (flock) on the folder itself, which no entry inside the
// folder can take the place of, and which ends with the process however it
// ends. A data folder that is a link to a folder elsewhere is held there.
//
// The lock file ".lock" inside is locked as well whenever it is, or can be
// made, a plain file: on a network file system a folder's lock reaches only
// the processes of this machine, a file's lock the other machines too. When
// it cannot (a folder or a link in its place, a read-only folder), the
// folder's own lock still guards this machine; a link is never followed.
//
// The holder may leave a short note in the lock file for the processes it
// keeps out (who it is, where it can be reached); they read it while they
// wait. A note is only a hint: the lock alone decides who holds the folder.
class DataFolderLock {
public:
    static constexpr const char* lockFileName = ".lock";

    enum class State {
        held,         // this process owns the folder
        inUse,        // another process holds it
        unavailable,  // the folder cannot be made, opened or locked: nothing may be read or written
    };

    // Makes the folder (0700) when it is missing, then tries the lock once,
    // without waiting.
    explicit DataFolderLock(const std::string& folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    State state() const { return state_; }
    // Tries the lock once more, without waiting, while another process holds
    // it; true once this process holds the folder.
    bool tryAgain();

    // While held: replaces the note in the lock file (nothing when there is
    // no plain lock file to write). An empty note clears it.
    void leaveNote(const std::string& note);
    // The holder's note as it reads now; empty when there is none.
    std::string note() const;
    const std::string& folder() const { return folder_; }
    // The folder as it was opened and locked, wherever it is moved later;
    // -1 when the folder could not be opened.
    int descriptor() const { return folderFd_; }
    // Which step failed when the state is `unavailable`, and why: the system's
    // reason, or what stands on the folder's way and is no folder ("<path> is
    // not a folder", FolderTree::noFolderOnTheWay).
    enum class Step { make, open, lock };
    Step failedStep() const { return failedStep_; }
    const std::string& problem() const { return problem_; }

private:
    // Locks `fd` without waiting; `unavailable` with the problem noted when
    // the lock cannot be taken at all.
    State lock(int fd);
    void lockFileToo();
    void fail(Step step, int error);

    std::string folder_;
    // Close-on-exec, both: a helper process the browser starts must not keep
    // the folder locked after the browser is gone.
    int folderFd_ = -1;
    int lockFileFd_ = -1;
    State state_ = State::unavailable;
    Step failedStep_ = Step::make;
    std::string problem_;
};

}  // namespace quorelle
