#include "store/DataFolderTidy.h"

#include "store/AtomicFile.h"
#include "store/DataFolderLock.h"
#include "store/FileDescriptor.h"
#include "store/FolderTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace quorelle {
namespace {

using Clock = DataFolderTidy::Clock;

// What may remain of a folder's and a file's permissions: the owner's, less
// a file's execute bit. Nothing is ever given back: a folder its owner made
// read-only (to keep it as it is) stays read-only.
constexpr mode_t folderMode = 0700;
constexpr mode_t fileMode = 0600;
// The browser's own folders are two levels deep; far below that lies
// nothing it made.
constexpr int deepestLevel = 16;

Clock::time_point lastWritten(const struct stat& info) {
    const auto since = std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec);
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(since));
}

// The mode with every permission beyond `allowed` taken away.
mode_t narrowed(const struct stat& info, mode_t allowed) { return info.st_mode & 07777 & allowed; }
bool allowsMore(const struct stat& info, mode_t allowed) { return narrowed(info, allowed) != (info.st_mode & 07777); }

void narrowEntry(int folder, const char* name, const struct stat& info, mode_t allowed) {
    if (allowsMore(info, allowed)) ::fchmodat(folder, name, narrowed(info, allowed), AT_SYMLINK_NOFOLLOW);
}

FileDescriptor openFolder(int parent, const std::string& name) {
    return FileDescriptor(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

void tidyFolder(int folder, Clock::time_point processStart, int level);

// One entry of `folder`. The mode changes refuse a link that took the
// entry's place meanwhile instead of following it.
void tidyEntry(int folder, const std::string& name, Clock::time_point processStart, int level) {
    struct stat info;
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return;
    if (S_ISREG(info.st_mode)) {
        if (AtomicFile::isTemporaryName(name) && lastWritten(info) < processStart) {
            ::unlinkat(folder, name.c_str(), 0);
            return;
        }
        narrowEntry(folder, name.c_str(), info, fileMode);
    } else if (S_ISDIR(info.st_mode)) {
        narrowEntry(folder, name.c_str(), info, folderMode);
        if (level >= deepestLevel) return;
        FileDescriptor child = openFolder(folder, name);
        if (child.valid()) tidyFolder(child.get(), processStart, level + 1);
    }
}

void tidyFolder(int folder, Clock::time_point processStart, int level) {
    for (const auto& name : FolderTree::names(folder)) tidyEntry(folder, name, processStart, level);
}

}  // namespace

void DataFolderTidy::run(const DataFolderLock& lock, Clock::time_point processStart) {
    if (lock.state() != DataFolderLock::State::held) return;
    FileDescriptor root(::open(lock.folder().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (!root.valid() || ::fstat(root.get(), &info) != 0) return;
    if (allowsMore(info, folderMode)) ::fchmod(root.get(), narrowed(info, folderMode));
    tidyFolder(root.get(), processStart, 0);
}

}  // namespace quorelle
