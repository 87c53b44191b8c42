#pragma once

#include "model/RawEnum.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quorelle {

struct InternalPageRouteCases {
    enum Case : std::uint8_t {
        newtab,
        settings,
        history,
        bookmarks,
        downloads,
        profiles,
        sessions,
        permissions,
        privacy,
        security,
        performance,
        memory,
        themes,
        shortcuts,
        updates,
        feedback,
        tabGroups,
        passwords,
        about,
        flags,
        experiments,
        proxy,
        sync,
        extensions,
    };
    static constexpr std::array<std::string_view, 24> rawValues{
        "newtab",     "settings",  "history",     "bookmarks", "downloads",   "profiles",  "sessions", "permissions",
        "privacy",    "security",  "performance", "memory",    "themes",      "shortcuts", "updates",  "feedback",
        "tab-groups", "passwords", "about",       "flags",     "experiments", "proxy",     "sync",     "extensions",
    };
    static constexpr std::array<std::string_view, 24> displayTitles{
        "New Tab",          "Settings", "History",    "Bookmarks",   "Downloads",      "Profiles", "Sessions",
        "Site Permissions", "Privacy",  "Security",   "Performance", "Memory",         "Themes",   "Shortcuts",
        "Updates",          "Feedback", "Tab Groups", "Passwords",   "About Quorelle", "Flags",    "Developer Mode",
        "Proxy Add-on",     "Sync",     "Extensions",
    };
};

// One of the browser's own pages, shown at "vx://" + raw name.
class InternalPageRoute : public RawEnum<InternalPageRouteCases, InternalPageRoute> {
public:
    // How every internal address starts.
    static constexpr std::string_view urlPrefix = "vx://";

    constexpr InternalPageRoute(Case c = newtab) : RawEnum(c) {}  // NOLINT: implicit by design

    std::string_view id() const { return rawValue(); }
    std::string_view displayTitle() const { return displayTitles[value()]; }
    std::string vxURL() const;

    // The page an address names, or nothing (see the .cpp for the rules).
    static std::optional<InternalPageRoute> from(std::string_view urlString);
    // The component an internal address names its page by, given what follows
    // "vx://": the first non-empty piece between "/"s, exactly as given (white
    // space inside it stays), or "" when there is none.
    static std::string_view firstComponent(std::string_view afterPrefix);

    static const std::unordered_map<std::string, InternalPageRoute>& routeMap();
    static const std::set<InternalPageRoute>& reservedHidden();

    friend constexpr bool operator<(InternalPageRoute a, InternalPageRoute b) { return a.value() < b.value(); }
};

}  // namespace quorelle
