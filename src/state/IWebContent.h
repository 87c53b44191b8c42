#pragma once

#include "model/Uuid.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorelle {

class AppState;
class BrowserTab;
struct ProxyProfile;

// A proxy test's answer: a success text, or an error's description.
struct ProxyTestOutcome {
    bool succeeded = false;
    std::string text;
};

// What the browser state needs of the web content layer: the process-wide
// cache of per-tab web views, the favicon lookup and the user-agent identity.
// The web layer implements it on WebKitGTK; tests use an in-process stand-in.
// Everything is called on the main thread.
class IWebContent {
public:
    virtual ~IWebContent() = default;

    // Makes sure the tab has a web view host. An internal address that is not
    // a back/forward step is first recorded in the tab's own internal history;
    // then the tab's coordinator renders the internal page or requests the
    // web page. A load whose canonical address equals the coordinator's last
    // one is skipped unless it is a history step.
    virtual void navigate(const std::shared_ptr<BrowserTab>& tab, const std::string& address, AppState& state,
                          bool isInternalHistoryNavigation) = 0;
    // An internal tab is rendered again; a web tab's view reloads.
    virtual void reload(const std::shared_ptr<BrowserTab>& tab, AppState& state) = 0;
    // When the tab has a host, its internal page is rendered anew from the
    // current state (as a history step); otherwise nothing.
    virtual void reloadInternal(const std::shared_ptr<BrowserTab>& tab, AppState& state) = 0;
    // Releases the tab's web view; nothing when it has none.
    virtual void removeHost(const Uuid& tabID) = 0;
    virtual bool hasHost(const Uuid& tabID) const = 0;
    // Lets the next load of the address the tab shows through the repeat check.
    virtual void clearLastLoadedCanonicalURL(const Uuid& tabID) = 0;

    // The favicon address cached for the page's host (the logo reference for
    // an internal page), without network access.
    virtual std::optional<std::string> cachedFavicon(const std::string& pageURL) = 0;
    // Calls `completion` exactly once: at once with a cached value (or nothing
    // for an address without a usable host), otherwise later on the main queue.
    virtual void fetchFavicon(const std::string& pageURL,
                              std::function<void(std::optional<std::string>)> completion) = 0;

    // Sets every open tab's user agent from the profile's settings; with
    // `force` false, loading tabs keep theirs for now.
    virtual void applyUserAgentToAllTabs(AppState& state, bool force) = 0;

    // Sends one request through the proxy. The two input errors ("Host is
    // required", "Invalid test URL") complete before this returns; every
    // network outcome completes later on the main queue.
    virtual void testProxy(const ProxyProfile& proxy, std::function<void(ProxyTestOutcome)> completion) = 0;

    // Removes every record of every website data type from the persistent
    // website data store shared by the normal profiles, then calls
    // `completion` on the main queue.
    virtual void clearWebsiteData(std::function<void()> completion) = 0;
};

}  // namespace quorelle
