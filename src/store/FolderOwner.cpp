#include "store/FolderOwner.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

namespace quorelle {

std::optional<FolderOwner::Found> FolderOwner::of(const std::string& path) {
    std::filesystem::path place(path);
    for (bool isThePath = true;; isThePath = false) {
        struct stat info;
        if (::stat(place.c_str(), &info) == 0) return Found{place.string(), info.st_uid, isThePath};
        // A file on the way (ENOTDIR) is where the folders would be made too.
        if ((errno != ENOENT && errno != ENOTDIR) || !place.has_relative_path() || place == ".")
            return std::nullopt;
        place = place.parent_path();
        if (place.empty()) place = ".";
    }
}

std::optional<FolderOwner::Found> FolderOwner::anotherUsers(const std::string& path, uid_t user) {
    if (user != 0) return std::nullopt;
    auto found = of(path);
    if (!found || found->owner == user) return std::nullopt;
    return found;
}

}  // namespace quorelle
