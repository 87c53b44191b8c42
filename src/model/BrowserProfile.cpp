#include "model/BrowserProfile.h"

#include "model/JsonCodec.h"

namespace quorelle {

const BrowserProfile& BrowserProfile::defaultProfile() {
    static const BrowserProfile profile{"default", "Default", false, true, Date::now(), std::nullopt, std::nullopt};
    return profile;
}

const BrowserProfile& BrowserProfile::guestProfile() {
    static const BrowserProfile profile{"guest", "Guest", true, false, Date::now(), std::nullopt, std::nullopt};
    return profile;
}

bool BrowserProfile::isUsableID(std::string_view id) {
    if (id.empty() || id == "." || id == "..") return false;
    return id.find('/') == std::string_view::npos && id.find('\0') == std::string_view::npos;
}

BrowserProfile readJson(const Json& j, JsonType<BrowserProfile>) {
    return BrowserProfile{.id = json::req<std::string>(j, "id"),
                          .name = json::req<std::string>(j, "name"),
                          .isGuest = json::req<bool>(j, "isGuest"),
                          .isDefault = json::req<bool>(j, "isDefault"),
                          .createdAt = json::req<Date>(j, "createdAt"),
                          .avatarURL = json::opt<std::string>(j, "avatarURL"),
                          .themePresetID = json::opt<std::string>(j, "themePresetID")};
}

Json toJson(const BrowserProfile& profile) {
    Json j = Json::object();
    json::put(j, "id", profile.id);
    json::put(j, "name", profile.name);
    json::put(j, "isGuest", profile.isGuest);
    json::put(j, "isDefault", profile.isDefault);
    json::put(j, "createdAt", profile.createdAt);
    json::putOptional(j, "avatarURL", profile.avatarURL);
    json::putOptional(j, "themePresetID", profile.themePresetID);
    return j;
}

}  // namespace quorelle
