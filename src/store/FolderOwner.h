#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace quorelle {

// Whose a folder is. The superuser can write into any folder, but what it
// makes there, or writes anew, is its own and private: the user whose folder
// it is can no longer read it. So the superuser never takes over a folder of
// another user's.
struct FolderOwner {
    // The folder that decides whose a path is, and its owner.
    struct Found {
        std::string folder;
        uid_t owner = 0;
        // Whether `folder` is the path itself; else the path is not there
        // yet and `folder` is where it would be made, the nearest folder
        // above it that is there.
        bool isThePath = true;

        friend bool operator==(const Found&, const Found&) = default;
    };

    // Who owns `path` (a link is followed), or, while it is not there, the
    // folder it and its missing parents would be made in. Nothing when
    // neither can be looked at.
    static std::optional<Found> of(const std::string& path);

    // What `user` (an effective user id) would take over by making or
    // changing `path`: when `user` is the superuser and `path` is another
    // user's, by `of`. Nothing otherwise.
    static std::optional<Found> anotherUsers(const std::string& path, uid_t user);
};

}  // namespace quorelle
