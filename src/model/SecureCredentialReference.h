#pragma once

#include "model/Json.h"
#include "model/Uuid.h"

#include <string>

namespace quorelle {

struct PasswordItem;

// An entry of a profile's saved-login index: which metadata file to read and
// which keyring account holds the secret.
struct SecureCredentialReference {
    Uuid id = Uuid::random();     // the PasswordItem's id
    std::string keychainAccount;  // that id as 36 upper-case characters

    // The reference for a login, its account taken from the item's id.
    static SecureCredentialReference forItem(const PasswordItem& item);

    friend bool operator==(const SecureCredentialReference&, const SecureCredentialReference&) = default;
};

// Made from the document alone (no random id, no clock reading).
SecureCredentialReference readJson(const Json& j, JsonType<SecureCredentialReference>);
Json toJson(const SecureCredentialReference& reference);

}  // namespace quorelle
