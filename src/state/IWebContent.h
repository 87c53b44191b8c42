#pragma once

#include "model/Uuid.h"

#include <memory>
#include <string>

namespace quorelle {

class AppState;
class BrowserTab;

// What the browser state needs of the per-tab web views: the process-wide
// cache that loads, reloads and releases each tab's view. The web layer
// implements it on WebKitGTK; tests use an in-process stand-in. Everything
// is called on the main thread.
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
};

}  // namespace quorelle
