#pragma once

#include "model/Date.h"
#include "model/Json.h"
#include "model/Uuid.h"

#include <string>

namespace quorelle {

// The descriptive half of a saved login. The password itself lives only in
// the keyring, under this item's key, and never in this record or its file.
struct PasswordItem {
    Uuid id = Uuid::random();
    std::string websiteURL;
    std::string domain;
    std::string username;
    std::string email;
    std::string notes;
    Date createdAt = Date::now();
    Date modifiedAt = createdAt;  // a new item's two dates are the same moment

    // The login's key: the id as 36 upper-case characters. The keyring
    // account, the reference and the metadata file name all derive from it.
    std::string itemKey() const { return id.toString(); }
    // "password-<item key>.json"
    std::string metadataFileName() const { return "password-" + itemKey() + ".json"; }

    friend bool operator==(const PasswordItem&, const PasswordItem&) = default;
};

// The metadata file's form: all eight keys required; the two dates are JSON
// numbers of seconds since 2001-01-01T00:00:00Z, fraction kept.
// Made from the document alone (no random id, no clock reading).
PasswordItem readJson(const Json& j, JsonType<PasswordItem>);
Json toJson(const PasswordItem& item);

}  // namespace quorelle
