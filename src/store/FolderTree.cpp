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

bool FolderTree::makeFolders(int folder, const std::string& path, unsigned mode) {
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (::mkdirat(folder, part.c_str(), mode) != 0 && errno != EEXIST) return false;
        if (end == std::string::npos) return true;
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
