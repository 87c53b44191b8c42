#pragma once

#include "store/IKeychain.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quorelle {

// A keychain held in memory, for tests of code that keeps secrets. It stores
// and replaces in place like the real one; with `available` false it behaves
// like a session without a keyring: saves answer false and keep the old
// secret, loads answer none, deletes do nothing.
class InMemoryKeychain final : public IKeychain {
public:
    using Key = std::pair<std::string, std::string>;  // profile id, account

    bool available = true;
    int saveCalls = 0;

    bool savePassword(std::string_view secret, std::string_view account, std::string_view profileID) override {
        ++saveCalls;
        if (!available) return false;
        items_[key(account, profileID)] = std::string(secret);
        return true;
    }

    std::optional<std::string> loadPassword(std::string_view account, std::string_view profileID) override {
        if (!available) return std::nullopt;
        auto it = items_.find(key(account, profileID));
        if (it == items_.end()) return std::nullopt;
        return it->second;
    }

    void deletePassword(std::string_view account, std::string_view profileID) override {
        if (available) items_.erase(key(account, profileID));
    }

    void deleteAllPasswords(std::string_view profileID) override {
        if (!available) return;
        std::erase_if(items_, [&](const auto& item) { return item.first.first == profileID; });
    }

    // Puts a secret in place without counting as a save.
    void plant(std::string_view secret, std::string_view account, std::string_view profileID) {
        items_[key(account, profileID)] = std::string(secret);
    }
    bool contains(std::string_view account, std::string_view profileID) const {
        return items_.count(key(account, profileID)) > 0;
    }
    std::size_t size() const { return items_.size(); }
    std::size_t countFor(std::string_view profileID) const {
        std::size_t count = 0;
        for (const auto& item : items_) count += item.first.first == profileID ? 1 : 0;
        return count;
    }

private:
    static Key key(std::string_view account, std::string_view profileID) {
        return {std::string(profileID), std::string(account)};
    }

    std::map<Key, std::string> items_;
};

}  // namespace quorelle
