#pragma once

#include <string>
#include <vector>

namespace quorelle {

// Folders reached through an open folder: whatever a path names now, the
// entries are those of the folder held open, wherever it has been moved.
struct FolderTree {
    // The names in `folder` ("." and ".." left out); none when it cannot be
    // listed. `folder` stays open and is not moved along.
    static std::vector<std::string> names(int folder);

    // Makes `path` in `folder` with its missing parents, each with `mode`; an
    // existing folder is no error. False when one could not be made.
    static bool makeFolders(int folder, const std::string& path, unsigned mode);

    // Removes `path` in `folder` with everything in it; a symbolic link is
    // removed itself, never followed. False when `path` was not removed.
    static bool remove(int folder, const std::string& path);
};

}  // namespace quorelle
