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

void readJson(const Json& j, BrowserProfile& out) {
    out.id = json::req<std::string>(j, "id");
    out.name = json::req<std::string>(j, "name");
    out.isGuest = json::req<bool>(j, "isGuest");
    out.isDefault = json::req<bool>(j, "isDefault");
    out.createdAt = json::req<Date>(j, "createdAt");
    out.avatarURL = json::opt<std::string>(j, "avatarURL");
    out.themePresetID = json::opt<std::string>(j, "themePresetID");
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
