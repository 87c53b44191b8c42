#include "platform/KeychainService.h"

#include "model/GLibPtr.h"
#include "model/Text.h"

#include <libsecret/secret.h>

namespace quorelle {

namespace {

SecretSchema makePasswordSchema() {
    SecretSchema schema{};
    schema.name = KeychainService::schemaName.data();
    schema.flags = SECRET_SCHEMA_NONE;
    schema.attributes[0] = {"profile", SECRET_SCHEMA_ATTRIBUTE_STRING};  // the profile id
    schema.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};  // the item key
    return schema;
}

const SecretSchema kPasswordSchema = makePasswordSchema();

using ValuePtr = GLibPtr<SecretValue, secret_value_unref>;

// Attribute values and secrets cross a C interface and the Secret Service
// demands UTF-8: a text with a NUL byte or invalid UTF-8 would be cut short
// or refused, so such a text is never handed over. A secret is stored as
// bytes, so a NUL inside it is kept; everything between the NULs must be
// valid UTF-8.
bool isSecretText(std::string_view bytes) {
    for (;;) {
        const auto nul = bytes.find('\0');
        if (!text::isValidUtf8(bytes.substr(0, nul))) return false;
        if (nul == std::string_view::npos) return true;
        bytes.remove_prefix(nul + 1);
    }
}

// The attribute values of one item, checked once; unusable when either id
// could not be sent.
struct ItemAttributes {
    std::string profile;
    std::string key;
    bool usable = false;

    ItemAttributes(std::string_view account, std::string_view profileID)
        : profile(profileID),
          key(KeychainService::itemKey(account, profileID)),
          usable(text::isValidUtf8(profileID) && text::isValidUtf8(account)) {}
};

void logFailure(const char* operation, const GErrorPtr& error) {
    if (error) g_debug("keychain %s failed: %s", operation, error->message);
}

}  // namespace

std::string KeychainService::itemKey(std::string_view account, std::string_view profileID) {
    std::string key;
    key.reserve(profileID.size() + 1 + account.size());
    key.append(profileID).append(".").append(account);
    return key;
}

bool KeychainService::savePassword(std::string_view secret, std::string_view account, std::string_view profileID) {
    const ItemAttributes item(account, profileID);
    if (!item.usable || !isSecretText(secret)) return false;
    // The store replaces an item with the same attributes in place, so a
    // failed store leaves the previous secret as it was.
    ValuePtr value(secret_value_new(secret.data(), static_cast<gssize>(secret.size()), "text/plain"));
    GError* raw = nullptr;
    const gboolean stored =
        secret_password_store_binary_sync(&kPasswordSchema, SECRET_COLLECTION_DEFAULT, item.key.c_str(), value.get(),
                                          nullptr, &raw, "profile", item.profile.c_str(), "account", item.key.c_str(),
                                          nullptr);
    GErrorPtr error(raw);
    logFailure("save", error);
    return stored && !error;
}

std::optional<std::string> KeychainService::loadPassword(std::string_view account, std::string_view profileID) {
    const ItemAttributes item(account, profileID);
    if (!item.usable) return std::nullopt;
    GError* raw = nullptr;
    ValuePtr value(secret_password_lookup_binary_sync(&kPasswordSchema, nullptr, &raw, "profile", item.profile.c_str(),
                                                      "account", item.key.c_str(), nullptr));
    GErrorPtr error(raw);
    logFailure("load", error);
    if (error || !value) return std::nullopt;
    gsize length = 0;
    const gchar* bytes = secret_value_get(value.get(), &length);
    if (!bytes || !isSecretText(std::string_view(bytes, length))) return std::nullopt;
    return std::string(bytes, length);
}

void KeychainService::deletePassword(std::string_view account, std::string_view profileID) {
    const ItemAttributes item(account, profileID);
    if (!item.usable) return;
    GError* raw = nullptr;
    secret_password_clear_sync(&kPasswordSchema, nullptr, &raw, "profile", item.profile.c_str(), "account",
                               item.key.c_str(), nullptr);
    logFailure("delete", GErrorPtr(raw));
}

void KeychainService::deleteAllPasswords(std::string_view profileID) {
    if (!text::isValidUtf8(profileID)) return;
    const std::string profile(profileID);
    GError* raw = nullptr;
    secret_password_clear_sync(&kPasswordSchema, nullptr, &raw, "profile", profile.c_str(), nullptr);
    logFailure("delete-all", GErrorPtr(raw));
}

}  // namespace quorelle
