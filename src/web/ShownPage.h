#pragma once

#include "model/InternalPageRoute.h"

#include <optional>
#include <string>

namespace quorelle {

class BrowserTab;

// What a tab says about the page its web view has on screen: address, title,
// kind, security and icon. A typed address changes the tab before the engine
// answers; when the engine then turns the navigation into a download, does
// not show it at all, or the user stops it before it has replaced the page,
// the page on screen stays and the tab is put back to it.
struct ShownPage {
    std::string urlString;
    std::string title;
    bool isInternal = false;
    std::optional<InternalPageRoute> internalRoute;
    bool isSecure = false;
    std::optional<std::string> faviconURL;
    std::string faviconLetter;

    static ShownPage of(const BrowserTab& tab);
    // True when the tab still names this page (same address and kind).
    bool isNamedBy(const BrowserTab& tab) const;
    void restore(BrowserTab& tab) const;
};

}  // namespace quorelle
