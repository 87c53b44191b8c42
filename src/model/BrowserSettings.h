#pragma once

#include "model/Json.h"
#include "model/PasswordManagerSettings.h"
#include "model/PersistedTab.h"
#include "model/RawEnum.h"
#include "model/SearchEngine.h"
#include "model/UserAgentSettings.h"
#include "model/Uuid.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

struct NewTabBehaviorCases {
    enum Case : std::uint8_t { newTabPage, homepage };
    static constexpr std::array<std::string_view, 2> rawValues{"newTabPage", "homepage"};
    static constexpr std::array<std::string_view, 2> displayNames{"New Tab page", "Homepage"};
};

// What a new tab and the Home command open.
class NewTabBehavior : public RawEnum<NewTabBehaviorCases, NewTabBehavior> {
public:
    constexpr NewTabBehavior(Case c = newTabPage) : RawEnum(c) {}  // NOLINT: implicit by design
};

struct SidebarKindCases {
    enum Case : std::uint8_t { none, bookmarks, history };
    static constexpr std::array<std::string_view, 3> rawValues{"none", "bookmarks", "history"};
};

// The sidebar panel remembered for a profile.
class SidebarKind : public RawEnum<SidebarKindCases, SidebarKind> {
public:
    constexpr SidebarKind(Case c = none) : RawEnum(c) {}  // NOLINT: implicit by design
};

struct SidebarDockCases {
    enum Case : std::uint8_t { left, right };
    static constexpr std::array<std::string_view, 2> rawValues{"left", "right"};
};

// The window edge the sidebar sits at.
class SidebarDock : public RawEnum<SidebarDockCases, SidebarDock> {
public:
    constexpr SidebarDock(Case c = left) : RawEnum(c) {}  // NOLINT: implicit by design
};

// One profile's browsing preferences, developer switches, feature flags,
// password and identity settings, and the window's tabs as last saved.
struct BrowserSettings {
    // The selected engine id that means "use customSearchEngineURL".
    static constexpr std::string_view customSearchEngineID = "custom";

    std::string homepage;
    NewTabBehavior newTabBehavior = NewTabBehavior::newTabPage;
    bool showBookmarksBar = true;
    std::string selectedSearchEngineID;
    std::string customSearchEngineURL;  // "%s" marks the query
    SidebarKind sidebarKind = SidebarKind::none;
    SidebarDock sidebarDock = SidebarDock::left;
    bool developerMode = false;
    bool advancedLogging = false;
    bool diagnosticsEnabled = false;
    std::map<std::string, bool> flags;
    PasswordManagerSettings passwordSettings;
    UserAgentSettings userAgent;
    std::vector<PersistedTab> lastSessionTabs;  // in tab-strip order
    std::vector<std::string> neverSavePasswordDomains;
    bool proxyAddonEnabled = false;
    std::optional<Uuid> activeProxyID;
    bool restoreSidebarOnLaunch = false;

    // Google as search engine and home page, bookmarks bar shown, everything
    // else off or empty. Built once, on first use.
    static const BrowserSettings& defaults();

    // The engine the omnibox searches with: the custom template for "custom",
    // else the built-in engine with exactly that id, else Google. Ids match
    // case-sensitively; the custom template is used unchecked.
    SearchEngine resolvedSearchEngine() const;

    friend bool operator==(const BrowserSettings&, const BrowserSettings&) = default;
};

// Files from older versions may lack the later keys: "flags",
// "lastSessionTabs", "neverSavePasswordDomains", "proxyAddonEnabled",
// "activeProxyID" and "restoreSidebarOnLaunch" take their empty or false
// values when missing or null. Every other key is required, and a present
// value of the wrong type fails the whole object.
void readJson(const Json& j, BrowserSettings& out);
// Writes every key; "activeProxyID" only when set.
Json toJson(const BrowserSettings& settings);

}  // namespace quorelle
