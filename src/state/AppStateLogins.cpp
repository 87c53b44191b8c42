// Saved logins: the secret in the keyring, everything else in one small JSON
// file per login in the profile's folder, indexed by the profile's reference
// list (which also fixes the order).
#include "model/JsonCodec.h"
#include "model/RecordList.h"
#include "model/SecureCredentialReference.h"
#include "state/AppState.h"
#include "store/DataStore.h"
#include "store/IKeychain.h"

#include <system_error>

namespace quorelle {
namespace {

constexpr std::string_view keyringSaveFailedToast = "Couldn't save the password to the keyring";

std::string metadataFileName(const Uuid& id) { return "password-" + id.toString() + ".json"; }

}  // namespace

void AppState::savePasswordItem(const PasswordItem& item, std::string_view password) {
    if (isGuest()) return;
    const std::string profileID = appSettings.get().selectedStartupProfileID;
    // The keyring replaces a secret in place, so a refused store leaves the
    // previous password working; the login must then not look saved.
    if (!keychain().savePassword(password, item.itemKey(), profileID)) {
        toastMessage.set(std::string(keyringSaveFailedToast));
        return;
    }
    if (auto folder = store().profileDirectory(profileID)) {
        const std::string path = *folder + "/" + item.metadataFileName();
        // Reading the old file first lets the store move a damaged one aside
        // instead of writing over it.
        store().loadDocument(path, [](const Json& document) { json::value<PasswordItem>(document); });
        store().saveBytes(path, json::dumpCompact(toJson(item)));
    }
    if (!records::contains(profileData.get().passwordReferences, item.id))
        profileData.modify(
            [&](ProfileData& d) { d.passwordReferences.push_back(SecureCredentialReference::forItem(item)); });
    reloadPasswordMetadata();
    persist();
}

std::optional<std::string> AppState::passwordForItem(const PasswordItem& item) const {
    return keychain().loadPassword(item.itemKey(), appSettings.get().selectedStartupProfileID);
}

void AppState::deletePassword(const PasswordItem& item) {
    if (isGuest()) return;  // a guest window never touches the real profile's logins
    const std::string profileID = appSettings.get().selectedStartupProfileID;
    keychain().deletePassword(item.itemKey(), profileID);
    profileData.modify([&](ProfileData& d) { records::erase(d.passwordReferences, item.id); });
    if (auto folder = store().profileDirectory(profileID)) {
        store().removeFile(*folder + "/" + item.metadataFileName());
    }
    reloadPasswordMetadata();
    persist();
}

void AppState::reloadPasswordMetadata() {
    std::vector<PasswordItem> items;
    const auto& references = profileData.get().passwordReferences;
    // A guest window's list is always empty, and reading must not create
    // folders on its behalf.
    if (!isGuestWindow() && !references.empty()) {
        if (auto folder = store().profileDirectory(appSettings.get().selectedStartupProfileID)) {
            for (const auto& reference : references) {
                // The path comes from the id, never from the stored account
                // text, so a hand-edited reference cannot name another file.
                PasswordItem item;
                const auto status =
                    store().loadDocument(*folder + "/" + metadataFileName(reference.id),
                                         [&item](const Json& document) { item = json::value<PasswordItem>(document); });
                // A missing or damaged file only hides its login; a damaged
                // one is kept on disk and moved aside before any rewrite.
                if (status == FileStatus::loaded) items.push_back(std::move(item));
            }
        }
    }
    passwordItems.set(std::move(items));
}

}  // namespace quorelle
