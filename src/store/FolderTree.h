#pragma once

#include <functional>
#include <optional>
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
    // existing folder, or a link to one, is no error. Where something else
    // takes a folder's place (a file, a link to no folder or a loop of links),
    // `clear` is asked to move it away, and the folder is made once it has.
    // False when one could not be made.
    using Clear = std::function<bool(const std::string& part)>;
    static bool makeFolders(int folder, const std::string& path, unsigned mode, const Clear& clear);

    // The first entry on the way to `path` in `folder` (the path's own
    // included) that stands where a folder belongs and is no folder, named
    // for what it is and shown as `shownBase` + its path: "<entry> is not a
    // folder", "<entry> is a loop of symbolic links", "<entry> is a link to
    // nothing". Nothing when every entry on the way is a folder (or a link to
    // one), is missing, or cannot be looked at.
    static std::optional<std::string> noFolderOnTheWay(int folder, const std::string& path,
                                                       const std::string& shownBase);

    // Removes `path` in `folder` with everything in it; a symbolic link is
    // removed itself, never followed. False when `path` was not removed.
    static bool remove(int folder, const std::string& path);
};

}  // namespace quorelle
