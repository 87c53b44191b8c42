#pragma once

#include "model/AppSettings.h"
#include "model/BrowserProfile.h"
#include "model/BrowserTab.h"
#include "model/InternalPageRoute.h"
#include "model/ProfileData.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

// A snapshot of the browser state for one render of an internal page. Built
// by InternalPageProvider on the main thread and dropped after the render;
// the tabs are the live tab objects, which pages only read.
struct InternalPageContext {
    using FaviconLookup = std::function<std::optional<std::string>(const std::string& pageURL)>;
    using ProfileDataLoader = std::function<ProfileData(const std::string& profileID)>;

    InternalPageRoute route;
    ProfileData profileData;
    AppSettings appSettings;
    BrowserProfile currentProfile;
    std::vector<std::shared_ptr<BrowserTab>> tabs;
    std::shared_ptr<BrowserTab> activeTab;
    std::string version = std::string(fallbackVersion);
    std::string build = std::string(fallbackBuild);
    std::string platform = "Linux";
    std::string dataPath;
    std::optional<std::string> proxyTestResult;
    std::optional<std::string> proxyTestError;

    // The render's fresh secret; the bridge adds it to every message.
    std::string bridgeToken;
    // The favicon cached for a page's host, without network access. Empty
    // in tests that do not need it (then nothing is cached).
    FaviconLookup cachedFavicon;
    // The stored data of another profile (the profiles page). Empty in tests
    // that do not need it (then the empty profile data).
    ProfileDataLoader loadProfileData;

    static constexpr std::string_view fallbackVersion = "1.0";
    static constexpr std::string_view fallbackBuild = "1";

    // The cached favicon of `pageURL`, or nothing.
    std::optional<std::string> cachedFaviconFor(const std::string& pageURL) const;
    // The stored data of that profile (the empty data without a loader).
    ProfileData storedProfileData(const std::string& profileID) const;

    // InternalHTMLStyles::wrap with this context's theme and bridge token.
    std::string wrap(std::string_view title, std::string_view body, std::string_view extraHead = {}) const;
};

}  // namespace quorelle
