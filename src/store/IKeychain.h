#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// Where the secrets of saved logins live. A secret is addressed by a profile
// id and an account; the same account under two profiles is two independent
// secrets. No operation says why it failed: a save answers false, a load
// answers none, the deletes are silent. Main thread only.
class IKeychain {
public:
    virtual ~IKeychain() = default;

    // True only when the secret is now stored. A failed save keeps whatever
    // secret was stored before.
    virtual bool savePassword(std::string_view secret, std::string_view account, std::string_view profileID) = 0;
    // The stored secret, or none when there is none or it cannot be read.
    virtual std::optional<std::string> loadPassword(std::string_view account, std::string_view profileID) = 0;
    // Removes that one secret; nothing happens when there is none.
    virtual void deletePassword(std::string_view account, std::string_view profileID) = 0;
    // Removes every secret of the profile (used when the profile is deleted).
    virtual void deleteAllPasswords(std::string_view profileID) = 0;
};

}  // namespace quorelle
