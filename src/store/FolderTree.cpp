#include "store/FolderTree.h"

#include "store/FileDescriptor.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace quorelle {

std::vector<std::string> FolderTree::names(int folder) {
    std::vector<std::string> names;
    // A descriptor of its own: reading the listing moves the position of the one it reads.
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return names;
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(fd), ::closedir);
    if (!listing) {
        ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    return names;
}

namespace {

// Whether what stands at `part` (known to exist) can never be used as a
// folder: not one, and not a link to one. Anything whose nature could not be
// learned (no permission to follow a link, say) is left alone.
bool takesAFoldersPlace(int folder, const std::string& part) {
    struct stat info;
    if (::fstatat(folder, part.c_str(), &info, 0) == 0) return !S_ISDIR(info.st_mode);
    // A link to nothing, a loop of links, a link through a file.
    return errno == ENOENT || errno == ELOOP || errno == ENOTDIR;
}

}  // namespace

bool FolderTree::makeFolders(int folder, const std::string& path, unsigned mode, const Clear& clear) {
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (::mkdirat(folder, part.c_str(), mode) != 0) {
            if (errno != EEXIST) return false;
            if (takesAFoldersPlace(folder, part) &&
                (!clear || !clear(part) || ::mkdirat(folder, part.c_str(), mode) != 0))
                return false;
        }
        if (end == std::string::npos) return true;
    }
}

std::optional<std::string> FolderTree::noFolderOnTheWay(int folder, const std::string& path,
                                                        const std::string& shownBase) {
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        const std::string shown = part == "." ? shownBase.substr(0, shownBase.size() - 1) : shownBase + part;
        struct stat info;
        if (::fstatat(folder, part.c_str(), &info, 0) == 0) {
            if (!S_ISDIR(info.st_mode)) return shown + " is not a folder";
        } else if (errno == ELOOP) {
            return shown + " is a loop of symbolic links";
        } else if (errno == ENOENT) {
            const bool link = ::fstatat(folder, part.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
            return link ? std::optional(shown + " is a link to nothing") : std::nullopt;
        } else {
            return std::nullopt;
        }
        if (end == std::string::npos) return std::nullopt;
    }
}

bool FolderTree::remove(int folder, const std::string& path) {
    struct stat info;
    if (::fstatat(folder, path.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (!S_ISDIR(info.st_mode)) return ::unlinkat(folder, path.c_str(), 0) == 0;
    FileDescriptor inside(::openat(folder, path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (inside.valid())
        for (const auto& name : names(inside.get())) remove(inside.get(), name);
    return ::unlinkat(folder, path.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace quorelle
