#pragma once

#include "model/NavigationTarget.h"

#include <string>
#include <string_view>

namespace quorelle {

class BrowserTab;
struct SearchEngine;

// The omnibox rules: what typed text loads, the one canonical form of
// internal addresses, and the text the omnibox shows for a tab.
struct BrowserNavigation {
    static constexpr std::string_view internalScheme = "vx";
    static constexpr std::string_view omniboxPlaceholder = "Search Google or type a URL";
    static constexpr std::string_view newTabURL = "vx://newtab";

    static NavigationTarget resolve(std::string_view input, const SearchEngine& searchEngine);
    // "vx://" + the address's first component exactly as typed (the ends of
    // the address are trimmed, white space inside the component stays);
    // "vx://newtab" when the address is not internal, has no component, or
    // names "internal".
    static std::string canonicalInternalURL(std::string_view address);
    static std::string urlString(const NavigationTarget& target);
    static std::string displayText(const BrowserTab* tab);
    static std::string displayText(std::string_view resolvedURL);
    // Whether the address starts with "vx://" in any letter case; nothing is
    // trimmed.
    static bool hasInternalScheme(std::string_view address);
    // Leftover addresses that stand for the new-tab page.
    static bool isBlockedInternalArtifact(std::string_view urlString);
};

}  // namespace quorelle
