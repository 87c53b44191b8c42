#include "model/AppSettings.h"

#include "model/JsonCodec.h"
#include "model/RecordList.h"

#include <algorithm>

namespace quorelle {

const AppSettings& AppSettings::initial() {
    static const AppSettings settings{std::string(defaultProfileID),
                                      std::string(defaultProfileID),
                                      {BrowserProfile::defaultProfile(), BrowserProfile::guestProfile()},
                                      false,
                                      false,
                                      false};
    return settings;
}

const BrowserProfile* AppSettings::findNonGuestProfile(const std::vector<BrowserProfile>& profiles,
                                                       std::string_view id) {
    if (!BrowserProfile::isUsableID(id)) return nullptr;
    auto it = std::find_if(profiles.begin(), profiles.end(),
                           [&](const BrowserProfile& p) { return p.id == id && !p.isGuest; });
    return it == profiles.end() ? nullptr : &*it;
}

std::string AppSettings::sanitizeStartupProfileID(std::string_view candidate,
                                                  const std::vector<BrowserProfile>& profiles) {
    if (candidate == guestProfileID || profiles.empty()) return std::string(defaultProfileID);
    if (findNonGuestProfile(profiles, candidate)) return std::string(candidate);
    return std::string(defaultProfileID);
}

void AppSettings::normalizeProfiles() {
    if (!records::contains(profiles, defaultProfileID))
        profiles.insert(profiles.begin(), BrowserProfile::defaultProfile());
    if (!records::contains(profiles, guestProfileID)) profiles.push_back(BrowserProfile::guestProfile());
    selectedStartupProfileID = sanitizeStartupProfileID(selectedStartupProfileID, profiles);
    if (currentProfileID == guestProfileID) {
        currentProfileID = selectedStartupProfileID;
        return;
    }
    if (!findNonGuestProfile(profiles, currentProfileID)) currentProfileID = selectedStartupProfileID;
}

void AppSettings::setStartupProfile(std::string_view candidate) {
    selectedStartupProfileID = sanitizeStartupProfileID(candidate, profiles);
    if (currentProfileID != guestProfileID) currentProfileID = selectedStartupProfileID;
}

void readJson(const Json& j, AppSettings& out) {
    AppSettings settings;
    settings.currentProfileID = json::req<std::string>(j, "currentProfileID");
    settings.selectedStartupProfileID =
        json::orDefault<std::string>(j, "selectedStartupProfileID", std::string(AppSettings::defaultProfileID));
    settings.profiles = json::req<std::vector<BrowserProfile>>(j, "profiles");
    settings.firstLaunchComplete = json::orDefault(j, "firstLaunchComplete", false);
    settings.showSyncPage = json::orDefault(j, "showSyncPage", false);
    settings.showExtensionsPage = json::orDefault(j, "showExtensionsPage", false);
    settings.normalizeProfiles();
    out = std::move(settings);
}

Json toJson(const AppSettings& settings) {
    Json j = Json::object();
    json::put(j, "currentProfileID", settings.currentProfileID);
    json::put(j, "selectedStartupProfileID", settings.selectedStartupProfileID);
    json::put(j, "profiles", settings.profiles);
    json::put(j, "firstLaunchComplete", settings.firstLaunchComplete);
    json::put(j, "showSyncPage", settings.showSyncPage);
    json::put(j, "showExtensionsPage", settings.showExtensionsPage);
    return j;
}

}  // namespace quorelle
