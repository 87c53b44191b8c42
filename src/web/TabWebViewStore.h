#pragma once

#include "model/GLibPtr.h"
#include "model/Uuid.h"
#include "state/IWebContent.h"

#include <sigc++/signal.h>

#include <map>
#include <memory>
#include <string>

typedef struct _WebKitNetworkSession WebKitNetworkSession;
typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitBackForwardListItem WebKitBackForwardListItem;

namespace quorelle {

class DownloadCoordinator;
class MainQueue;
class TabWebViewHost;
struct WebContentServices;

// The process-wide cache of per-tab web views, keyed by tab id: a tab's web
// view is made the first time the tab is shown or navigated and released when
// the tab closes or the window that shows it goes (see WebTabView), so
// switching tabs never reloads a page. It also owns the per-tab back, forward
// and reload steps, which combine the web view's own list with the tab's
// history of internal pages. The downloads of the views it makes are handed
// to one download coordinator.
//
// Made once in main() and shared by every window. Main thread only.
class TabWebViewStore : public IWebContent {
public:
    TabWebViewStore(MainQueue& mainQueue, WebContentServices& services);
    ~TabWebViewStore() override;
    TabWebViewStore(const TabWebViewStore&) = delete;
    TabWebViewStore& operator=(const TabWebViewStore&) = delete;

    TabWebViewHost* host(const Uuid& tabID) const;
    // The host whose web view `view` is, if any.
    TabWebViewHost* hostOf(const WebKitWebView* view) const;
    // The cached host re-pointed at this tab and state, or a new one.
    TabWebViewHost& ensureHost(const std::shared_ptr<BrowserTab>& tab, AppState& state);

    bool canGoBack(WebKitWebView* view, const BrowserTab& tab) const;
    bool canGoForward(WebKitWebView* view, const BrowserTab& tab) const;
    void updateNavigationState(const Uuid& tabID);
    void goBack(const Uuid& tabID);
    void goForward(const Uuid& tabID);

    // The session a new web view of this state gets (see WebsiteDataService);
    // its downloads are watched from then on.
    GObjectPtr<WebKitNetworkSession> sessionFor(const AppState& state);

    // Fired after a tab's host was released, so a view showing it can let go.
    sigc::signal<void(const Uuid&)> signalHostRemoved;

    MainQueue& mainQueue() const { return mainQueue_; }
    WebContentServices& services() const { return services_; }

    // ---- the browser state's view of the web content -----------------------
    void navigate(const std::shared_ptr<BrowserTab>& tab, const std::string& address, AppState& state,
                  bool isInternalHistoryNavigation) override;
    void reload(const std::shared_ptr<BrowserTab>& tab, AppState& state) override;
    void reloadInternal(const std::shared_ptr<BrowserTab>& tab, AppState& state) override;
    void removeHost(const Uuid& tabID) override;
    bool hasHost(const Uuid& tabID) const override { return host(tabID) != nullptr; }
    void clearLastLoadedCanonicalURL(const Uuid& tabID) override;

private:
    void historyStep(const Uuid& tabID, int direction);
    // The item a web Forward step goes to, if any.
    WebKitBackForwardListItem* forwardItem(WebKitWebView* view, const BrowserTab& tab) const;

    MainQueue& mainQueue_;
    WebContentServices& services_;
    std::map<Uuid, std::unique_ptr<TabWebViewHost>> hosts_;
    std::unique_ptr<DownloadCoordinator> downloads_;  // watches every session a view gets
};

}  // namespace quorelle
