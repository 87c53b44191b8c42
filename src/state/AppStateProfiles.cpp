// Profiles: switching, creating, editing, renaming and deleting them.
#include "model/RecordList.h"
#include "model/ThemePreset.h"
#include "model/Uuid.h"
#include "state/AppState.h"
#include "state/IWebContent.h"
#include "store/DataStore.h"
#include "store/IKeychain.h"

#include <functional>

namespace quorelle {
namespace {

bool isReservedProfileID(std::string_view id) {
    return id == AppSettings::defaultProfileID || id == AppSettings::guestProfileID;
}

}  // namespace

// The steps of a profile switch after the opening save: the profile becomes
// the launch and current profile, its data replaces the loaded one, and the
// window starts over with one New Tab tab. The old tabs' web views are
// released so that none of them keeps running unseen.
void AppState::enterProfile(std::string_view id) {
    appSettings.modify([&](AppSettings& s) { s.setStartupProfile(id); });
    profileData.set(services_.store.loadProfileData(id));
    const auto& loaded = settings();
    sidebarKind.set(loaded.restoreSidebarOnLaunch ? loaded.sidebarKind : SidebarKind(SidebarKind::none));

    const auto dropped = tabs.get();
    bootstrapTabs();
    for (const auto& tab : dropped) services_.webContent.removeHost(tab->id());

    reloadPasswordMetadata();
    passwordsUnlocked.set(false);
    services_.store.saveAppSettings(appSettings.get());
    scheduleInitialLoad();
}

void AppState::switchProfile(std::string_view id) {
    if (isGuestWindow_ || id == AppSettings::guestProfileID) return;
    if (!AppSettings::findNonGuestProfile(appSettings.get().profiles, id)) return;
    const std::string target(id);  // `id` may point into the list that persist() rewrites
    persist();
    enterProfile(target);
}

void AppState::createProfile(std::string_view name) {
    // A guest window leaves the real profiles alone.
    if (isGuestWindow_) return;
    const std::string id = Uuid::random().toLowerString();
    appSettings.modify([&](AppSettings& s) {
        BrowserProfile profile;
        profile.id = id;
        profile.name = std::string(name);
        profile.createdAt = Date::now();
        s.profiles.push_back(std::move(profile));
    });
    // Fresh default shortcuts: no two profiles share shortcut ids.
    services_.store.saveProfileData(ProfileData::makeNew(), id);
    persist();
    switchProfile(id);
}

void AppState::updateProfile(std::string_view id, std::optional<std::string> name, std::optional<std::string> avatarURL,
                             bool resetAvatar, std::optional<std::string> themePresetID,
                             std::optional<std::string> searchEngineID, std::optional<std::string> backgroundImageURL) {
    if (isGuestWindow_) return;
    const auto found = records::indexOf(appSettings.get().profiles, id);
    if (!found || appSettings.get().profiles[*found].isGuest) return;
    const std::size_t index = *found;
    const std::string profileID(id);
    const bool isCurrent = profileID == appSettings.get().selectedStartupProfileID;

    appSettings.modify([&](AppSettings& s) {
        BrowserProfile& profile = s.profiles[index];
        if (name && !name->empty()) profile.name = *name;
        if (resetAvatar)
            profile.avatarURL = std::nullopt;
        else if (avatarURL)
            profile.avatarURL = avatarURL->empty() ? std::nullopt : std::optional<std::string>(*avatarURL);
        if (themePresetID) profile.themePresetID = *themePresetID;
    });

    const ThemePreset* preset = themePresetID ? ThemePreset::find(*themePresetID) : nullptr;
    if (isCurrent) {
        if (preset) applyPreset(*preset);
        if (searchEngineID)
            profileData.modify([&](ProfileData& d) { d.settings.selectedSearchEngineID = *searchEngineID; });
        if (backgroundImageURL)
            setBackgroundImageURL(backgroundImageURL->empty() ? std::nullopt : backgroundImageURL);
    } else if (themePresetID || searchEngineID || backgroundImageURL) {
        // Another profile's data is edited straight in its own folder.
        ProfileData other = services_.store.loadProfileData(profileID);
        if (preset) {
            other.theme.colors = preset->colors;
            other.theme.useDarkMode = preset->isDark();
            other.theme.fitDefaultBackgroundToMode();
        }
        if (searchEngineID) other.settings.selectedSearchEngineID = *searchEngineID;
        if (backgroundImageURL) {
            if (backgroundImageURL->empty()) {
                other.theme.background.imagePath = std::nullopt;
            } else {
                other.theme.background.kind = ThemeBackground::BackgroundKind::image;
                other.theme.background.imagePath = *backgroundImageURL;
            }
        }
        services_.store.saveProfileData(other, profileID);
    }
    persist();
    reloadProfilesPageIfActive();
}

void AppState::renameProfile(std::string_view id, std::string_view name) {
    if (isGuestWindow_) return;
    const auto found = records::indexOf(appSettings.get().profiles, id);
    if (!found || appSettings.get().profiles[*found].isGuest) return;
    appSettings.modify([&](AppSettings& s) { s.profiles[*found].name = std::string(name); });
    persist();
}

void AppState::deleteProfile(std::string_view id) {
    if (isGuestWindow_ || isReservedProfileID(id)) return;
    // Only a listed profile is ever removed: an id from a message or a file
    // must not name some other folder.
    if (!records::contains(appSettings.get().profiles, id)) return;
    const std::string profileID(id);

    appSettings.modify([&](AppSettings& s) { records::erase(s.profiles, profileID); });
    services_.store.removeProfileDirectory(profileID);
    services_.keychain.deleteAllPasswords(profileID);

    // The deleted profile's data in memory is discarded, not saved: the
    // default profile is loaded as it is on disk.
    if (appSettings.get().selectedStartupProfileID == profileID)
        enterProfile(AppSettings::defaultProfileID);
    persist();
    reloadProfilesPageIfActive();  // the deleted profile's card must not stay
}

}  // namespace quorelle
