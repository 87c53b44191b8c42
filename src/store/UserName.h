#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace quorelle {

// The login name of a user of this system.
struct UserName {
    // The name of the user with the id; nothing when the id names no user
    // (or one without a name) or the user database cannot be read.
    static std::optional<std::string> of(uid_t user);
    // The user as a line names them: "<name> (uid <id>)", or "uid <id>"
    // when the id has no name (as `of`).
    static std::string shown(uid_t user);
};

}  // namespace quorelle
