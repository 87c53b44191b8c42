#pragma once

#include "model/Date.h"
#include "model/Json.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// One entry of the profile list. The id names the profile's data folder.
struct BrowserProfile {
    std::string id;
    std::string name;
    bool isGuest = false;
    bool isDefault = false;
    Date createdAt = Date::now();
    std::optional<std::string> avatarURL;
    std::optional<std::string> themePresetID;

    // Built once, on first use.
    static const BrowserProfile& defaultProfile();
    static const BrowserProfile& guestProfile();

    // Whether `id` can name a folder of its own: it is not empty, "." or "..",
    // and holds no "/" and no NUL. A profile with any other id is never
    // opened, and nothing is stored under it.
    static bool isUsableID(std::string_view id);

    friend bool operator==(const BrowserProfile&, const BrowserProfile&) = default;
};

// Made from the document alone (no random id, no clock reading).
BrowserProfile readJson(const Json& j, JsonType<BrowserProfile>);
Json toJson(const BrowserProfile& profile);

}  // namespace quorelle
