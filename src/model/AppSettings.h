#pragma once

#include "model/BrowserProfile.h"
#include "model/Json.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

// The application-wide settings: which profiles exist, which one is shown now
// and which one opens at launch. The rules that keep the ids consistent live
// here so that every writer applies the same ones.
struct AppSettings {
    static constexpr std::string_view defaultProfileID = "default";
    static constexpr std::string_view guestProfileID = "guest";

    std::string currentProfileID;
    std::string selectedStartupProfileID;
    std::vector<BrowserProfile> profiles;
    bool firstLaunchComplete = false;
    bool showSyncPage = false;
    bool showExtensionsPage = false;

    // Used when no valid settings file exists. Built once, on first use.
    static const AppSettings& initial();

    // Ensures "default" and "guest" exist and both ids point at usable profiles.
    void normalizeProfiles();
    // The first listed profile with this id that is not a guest one and whose
    // id can name its folder (BrowserProfile::isUsableID), or null: only such
    // a profile can be opened.
    static const BrowserProfile* findNonGuestProfile(const std::vector<BrowserProfile>& profiles,
                                                     std::string_view id);
    // The id to use as launch profile: never "guest", never an unknown id.
    static std::string sanitizeStartupProfileID(std::string_view candidate, const std::vector<BrowserProfile>& profiles);
    // Chooses the launch profile; a browser not in the guest profile moves onto it.
    void setStartupProfile(std::string_view candidate);

    friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

// Per-key defaults for older files; ends with normalizeProfiles().
void readJson(const Json& j, AppSettings& out);
Json toJson(const AppSettings& settings);

}  // namespace quorelle
