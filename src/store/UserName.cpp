#include "store/UserName.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace quorelle {

std::optional<std::string> UserName::of(uid_t user) {
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
    for (;;) {
        passwd entry{};
        passwd* found = nullptr;
        const int error = getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || !found || !found->pw_name || !*found->pw_name) return std::nullopt;
        return std::string(found->pw_name);
    }
}

std::string UserName::shown(uid_t user) {
    const std::string id = "uid " + std::to_string(user);
    const auto name = of(user);
    return name ? *name + " (" + id + ")" : id;
}

}  // namespace quorelle
