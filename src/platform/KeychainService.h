#pragma once

#include "store/IKeychain.h"

#include <string>
#include <string_view>

namespace quorelle {

// The saved-login secrets in the user's keyring, through the Secret Service
// (libsecret). Every item carries the fixed schema named by the application
// id and two attributes: "profile", the profile id, and "account", the item
// key (profile id + "." + account). The secret is the text's UTF-8 bytes.
//
// The calls are synchronous and may bring up the keyring's own unlock prompt.
// Without a Secret Service every call fails: saves answer false, loads none.
class KeychainService final : public IKeychain {
public:
    // Never change it: items stored under another name are no longer found.
    static constexpr std::string_view schemaName = "io.github.quorelle.Quorelle";

    // The item key of an account: "<profile id>.<account>".
    static std::string itemKey(std::string_view account, std::string_view profileID);

    bool savePassword(std::string_view secret, std::string_view account, std::string_view profileID) override;
    std::optional<std::string> loadPassword(std::string_view account, std::string_view profileID) override;
    void deletePassword(std::string_view account, std::string_view profileID) override;
    void deleteAllPasswords(std::string_view profileID) override;
};

}  // namespace quorelle
