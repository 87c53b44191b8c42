#pragma once

#include "model/InternalPageRoute.h"
#include "model/Published.h"
#include "model/TabLoadState.h"
#include "model/Uuid.h"

#include <sigc++/signal.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

// The observable model of one open tab. Views redraw from its published
// fields; the web content layer writes load progress into them. Besides the
// page state it keeps its own back/forward list of internal pages.
class BrowserTab {
public:
    struct Options {
        Uuid id = Uuid::random();
        std::string title = "New Tab";
        std::string urlString = "vx://newtab";
        Uuid webViewID = Uuid::random();
    };

    BrowserTab();
    explicit BrowserTab(Options options);
    BrowserTab(const BrowserTab&) = delete;
    BrowserTab& operator=(const BrowserTab&) = delete;

    const Uuid& id() const { return id_; }
    const Uuid& webViewID() const { return webViewID_; }
    const std::string& rootURLString() const { return rootURLString_; }

    // Fired before any published field below changes.
    sigc::signal<void()>& signalObjectWillChange() { return objectWillChange_; }

private:
    sigc::signal<void()> objectWillChange_;  // declared before the fields that point at it
    Uuid id_;
    Uuid webViewID_;
    std::string rootURLString_;

public:
    Published<std::string> title;
    Published<std::string> urlString;
    Published<bool> isLoading;
    Published<double> loadProgress;
    Published<bool> canGoBack;
    Published<bool> canGoForward;
    Published<bool> isSecure;
    Published<bool> isInternal;
    Published<std::optional<InternalPageRoute>> internalRoute;
    Published<std::string> faviconLetter;
    Published<std::optional<std::string>> faviconURL;
    Published<bool> isPinned;
    Published<std::optional<Uuid>> groupID;
    Published<TabLoadState> loadState;
    Published<std::vector<std::string>> internalHistory;  // oldest first, never empty
    Published<std::int64_t> internalHistoryIndex;          // always a valid position

    // Pushes an internal address about to be loaded (not a back/forward step),
    // dropping any forward entries; nothing when it is the current entry.
    void recordInternalNavigation(std::string_view address);
    // Drops the entries after the current one: a new load leaves none ahead.
    void dropInternalHistoryAhead();
    // isInternal and internalRoute from urlString.
    void updateInternalState();
    // faviconURL and faviconLetter from isInternal, urlString and title.
    void applyInternalFavicon();
    // The text the omnibox shows for this tab.
    std::string displayURLForOmnibox() const;

    friend bool operator==(const BrowserTab& a, const BrowserTab& b) { return a.id_ == b.id_; }
};

}  // namespace quorelle
