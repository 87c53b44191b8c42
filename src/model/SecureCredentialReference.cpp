#include "model/SecureCredentialReference.h"

#include "model/JsonCodec.h"
#include "model/PasswordItem.h"

namespace quorelle {

SecureCredentialReference SecureCredentialReference::forItem(const PasswordItem& item) {
    return SecureCredentialReference{item.id, item.itemKey()};
}

SecureCredentialReference readJson(const Json& j, JsonType<SecureCredentialReference>) {
    return SecureCredentialReference{.id = json::req<Uuid>(j, "id"),
                                     .keychainAccount = json::req<std::string>(j, "keychainAccount")};
}

Json toJson(const SecureCredentialReference& reference) {
    Json j = Json::object();
    json::put(j, "id", reference.id);
    json::put(j, "keychainAccount", reference.keychainAccount);
    return j;
}

}  // namespace quorelle
