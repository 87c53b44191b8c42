#pragma once

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

    // What makeFolders set aside: what stood where a folder belongs, in
    // words ("<entry> is not a folder", as noFolderOnTheWay names it), and
    // the path it is kept at now, each shown as `shownBase` + its path.
    struct SetAside {
        std::string what;
        std::string keptAs;

        friend bool operator==(const SetAside&, const SetAside&) = default;
    };

    // Makes `path` in `folder` with its missing parents, each with `mode`; an
    // existing folder, or a link to one, is no error. Whatever takes a
    // folder's place (a file, a FIFO, a link to no folder or a loop of
    // links) is set aside as it is (AtomicFile::setAside: a file keeps its
    // bytes, a link stays a link, nothing is opened), added to `setAside`
    // when given, and the folder made in its place. False when one could not
    // be made.
    static bool makeFolders(int folder, const std::string& path, unsigned mode, const std::string& shownBase = {},
                            std::vector<SetAside>* setAside = nullptr);

    // The first entry on the way to `path` in `folder` (the path's own
    // included) that stands where a folder belongs and is no folder, named
    // for what it is and shown as `shownBase` + its path: "<entry> is not a
    // folder", "<entry> is a loop of symbolic links", "<entry> is a link to
    // nothing". Nothing when every entry on the way is a folder (or a link to
    // one), is missing, or cannot be looked at.
    static std::optional<std::string> noFolderOnTheWay(int folder, const std::string& path,
                                                       const std::string& shownBase);

    // Why the folder at `path` in `folder` takes no new entries now; nothing
    // when it does. A folder not made yet is judged where it would be made.
    // What is no folder is named as noFolderOnTheWay names it; a folder on
    // the way that refuses (one that cannot be searched, or the one that
    // would take the entry and cannot be written) is named too unless it is
    // `path` itself: "<folder>: Permission denied"; else the system's reason
    // alone.
    static std::optional<std::string> writeProblem(int folder, const std::string& path, const std::string& shownBase);

    // Why entries inside the folder at `path` in `folder` cannot be looked up
    // now: what stands on the way and is no folder, named as noFolderOnTheWay
    // names it, or a folder on the way, `path` included, that cannot be
    // searched, named as writeProblem names it. Nothing when they can, or
    // when `path` is not there: whatever it would hold is missing then too.
    static std::optional<std::string> searchProblem(int folder, const std::string& path, const std::string& shownBase);

    // What belongs at a place: a regular file, or a folder.
    enum class Kind { file, folder };

    // Why this process cannot use the entry at `path` in `folder` as a
    // `kind`: read and write it (and search it, a folder). Shown as
    // `shownBase` + its path, it is named for what it is when it is no such
    // thing ("<entry> is a folder", "<entry> is not a regular file", "<entry>
    // is not a folder", a link that leads nowhere as noFolderOnTheWay names
    // it), else "<entry> belongs to <user> (uid <id>)" when another user owns
    // it (the superuser's run too), with " and cannot be opened" or " and
    // cannot be written" when it cannot, else "<entry> cannot be opened
    // (<reason>)" when it cannot be read or searched, "<entry> cannot be
    // written (<reason>)" when it cannot be written. Nothing when it can be
    // used, when it is not there, or when it cannot be looked at (a folder on
    // the way that refuses: writeProblem tells of those).
    static std::optional<std::string> useProblem(int folder, const std::string& path, Kind kind,
                                                 const std::string& shownBase);

    // Sets aside, as makeFolders does, every entry of `group` in `folder`
    // that is there once one of them cannot be used as a `kind`
    // (useProblem): they go together, as a database and its journal files
    // do. Each is added to `setAside`, for what useProblem says of it, or
    // else as "<entry> goes with <the one that cannot be used>". Why one
    // could not be set aside ("<what>, and <it, or the entry> cannot be set
    // aside: <reason>"); nothing when all were, or none needed to be.
    static std::optional<std::string> setAsideUnusable(int folder, const std::vector<std::string>& group, Kind kind,
                                                       const std::string& shownBase,
                                                       std::vector<SetAside>& setAside);

    // Removes `path` in `folder` with everything in it; a symbolic link is
    // removed itself, never followed. False when `path` was not removed.
    static bool remove(int folder, const std::string& path);
};

}  // namespace quorelle
