#include "web/TabWebViewStore.h"

#include "model/BrowserNavigation.h"
#include "model/BrowserTab.h"
#include "model/QuorelleAssets.h"
#include "state/AppState.h"
#include "store/MainQueue.h"
#include "web/DownloadCoordinator.h"
#include "web/TabWebViewHost.h"
#include "web/WebContentServices.h"
#include "web/WebViewCoordinator.h"
#include "web/WebsiteDataService.h"

#include <webkit/webkit.h>

namespace quorelle {
namespace {

std::string itemURI(WebKitBackForwardListItem* item) {
    const char* uri = item ? webkit_back_forward_list_item_get_uri(item) : nullptr;
    return uri ? uri : "";
}

bool hasInternalHost(const std::string& uri) { return WebViewCoordinator::isInternalPageURI(uri); }

// Whether Back and Forward step through the tab's own list of internal pages
// first. The error page of a web address stands for that address, not for an
// internal page: it steps through the web view's list, whose current item is
// the web page shown before the failed load.
bool walksInternalHistory(const BrowserTab& tab) {
    return tab.isInternal.get() && BrowserNavigation::hasInternalScheme(tab.urlString.get());
}

// The empty document the engine commits in place of an address it refuses
// (see WebViewCoordinator) takes a place in the back/forward list. It is no
// page to step to: the engine's own step there would show nothing, since the
// browser keeps the view off it. Steps pass over it.
bool isArtifact(WebKitBackForwardListItem* item) { return BrowserNavigation::isBlockedInternalArtifact(itemURI(item)); }

// The nearest item `direction` (-1 back, +1 forward) steps away that is not
// such an artifact. Forward steps end before `dropped`, the first page a new
// load dropped (see WebViewCoordinator::dropPagesAhead).
WebKitBackForwardListItem* stepItem(WebKitWebView* view, int direction, WebKitBackForwardListItem* dropped = nullptr) {
    WebKitBackForwardList* list = webkit_web_view_get_back_forward_list(view);
    for (int index = direction;; index += direction) {
        WebKitBackForwardListItem* item = webkit_back_forward_list_get_nth_item(list, index);
        if (item && direction > 0 && item == dropped) return nullptr;
        if (!item || !isArtifact(item)) return item;
    }
}

// The item a web Back step goes to. Internal pages are loaded as HTML, which
// the engine keeps out of its back/forward list: while one is shown over a web
// page, the list's current item is still that web page, and Back returns to it.
WebKitBackForwardListItem* backItem(WebKitWebView* view) {
    if (WebViewCoordinator::showsInternalPage(view)) {
        WebKitBackForwardList* list = webkit_web_view_get_back_forward_list(view);
        WebKitBackForwardListItem* current = webkit_back_forward_list_get_current_item(list);
        if (current && !hasInternalHost(itemURI(current)) && !isArtifact(current)) return current;
    }
    return stepItem(view, -1);
}

}  // namespace

TabWebViewStore::TabWebViewStore(MainQueue& mainQueue, WebContentServices& services)
    : mainQueue_(mainQueue), services_(services) {
    downloads_ = std::make_unique<DownloadCoordinator>(
        mainQueue_, [this] { return services_.fileDialogs; },
        [this](WebKitWebView* view) -> std::shared_ptr<AppState> {
            auto* found = hostOf(view);
            return found ? found->coordinator().appState() : nullptr;
        });
}

TabWebViewStore::~TabWebViewStore() = default;

TabWebViewHost* TabWebViewStore::host(const Uuid& tabID) const {
    auto it = hosts_.find(tabID);
    return it == hosts_.end() ? nullptr : it->second.get();
}

TabWebViewHost* TabWebViewStore::hostOf(const WebKitWebView* view) const {
    for (const auto& [id, host] : hosts_)
        if (host->webView() == view) return host.get();
    return nullptr;
}

TabWebViewHost& TabWebViewStore::ensureHost(const std::shared_ptr<BrowserTab>& tab, AppState& state) {
    if (auto* existing = host(tab->id())) {
        existing->attach(tab, state);
        return *existing;
    }
    auto created = std::make_unique<TabWebViewHost>(tab, state, *this);
    auto& ref = *created;
    hosts_.emplace(tab->id(), std::move(created));
    return ref;
}

void TabWebViewStore::navigate(const std::shared_ptr<BrowserTab>& tab, const std::string& address, AppState& state,
                               bool isInternalHistoryNavigation) {
    auto& host = ensureHost(tab, state);
    if (QuorelleAssets::isInternalURL(address) && !isInternalHistoryNavigation) tab->recordInternalNavigation(address);
    host.coordinator().load(address, host.webView(), isInternalHistoryNavigation);
}

void TabWebViewStore::reload(const std::shared_ptr<BrowserTab>& tab, AppState& state) {
    auto* found = host(tab->id());
    if (!found) return;
    if (tab->isInternal.get())
        reloadInternal(tab, state);
    else
        found->coordinator().reloadWebAddress(tab->urlString.get(), found->webView());
}

void TabWebViewStore::reloadInternal(const std::shared_ptr<BrowserTab>& tab, AppState&) {
    auto* found = host(tab->id());
    if (!found) return;
    found->coordinator().lastLoadedCanonicalURL.reset();
    found->coordinator().load(tab->urlString.get(), found->webView(), true);
}

void TabWebViewStore::removeHost(const Uuid& tabID) {
    auto it = hosts_.find(tabID);
    if (it == hosts_.end()) return;
    auto released = std::move(it->second);
    hosts_.erase(it);
    signalHostRemoved.emit(tabID);
}

void TabWebViewStore::clearLastLoadedCanonicalURL(const Uuid& tabID) {
    if (auto* found = host(tabID)) found->coordinator().lastLoadedCanonicalURL.reset();
}

// ---- back and forward -------------------------------------------------------------

bool TabWebViewStore::canGoBack(WebKitWebView* view, const BrowserTab& tab) const {
    if (walksInternalHistory(tab) && tab.internalHistoryIndex.get() > 0) return true;
    auto* item = backItem(view);
    return item && !hasInternalHost(itemURI(item));
}

bool TabWebViewStore::canGoForward(WebKitWebView* view, const BrowserTab& tab) const {
    const auto count = static_cast<std::int64_t>(tab.internalHistory.get().size());
    if (walksInternalHistory(tab) && tab.internalHistoryIndex.get() < count - 1) return true;
    auto* item = forwardItem(view, tab);
    return item && !hasInternalHost(itemURI(item));
}

WebKitBackForwardListItem* TabWebViewStore::forwardItem(WebKitWebView* view, const BrowserTab& tab) const {
    auto* found = host(tab.id());
    return stepItem(view, +1, found ? found->coordinator().firstDroppedItem() : nullptr);
}

void TabWebViewStore::updateNavigationState(const Uuid& tabID) {
    auto* found = host(tabID);
    auto tab = found ? found->coordinator().tab() : nullptr;
    if (!tab) return;
    tab->canGoBack.set(canGoBack(found->webView(), *tab));
    tab->canGoForward.set(canGoForward(found->webView(), *tab));
}

void TabWebViewStore::goBack(const Uuid& tabID) { historyStep(tabID, -1); }

void TabWebViewStore::goForward(const Uuid& tabID) { historyStep(tabID, +1); }

void TabWebViewStore::historyStep(const Uuid& tabID, int direction) {
    auto* found = host(tabID);
    if (!found) return;
    auto tab = found->coordinator().tab();
    auto state = found->coordinator().appState();
    if (!tab || !state) return;
    const auto index = tab->internalHistoryIndex.get();
    const auto count = static_cast<std::int64_t>(tab->internalHistory.get().size());
    const bool internalStep = walksInternalHistory(*tab) && (direction < 0 ? index >= 1 : index < count - 1);
    if (internalStep) {
        const auto next = index + direction;
        tab->internalHistoryIndex.set(next);
        const std::string entry = tab->internalHistory.get()[static_cast<std::size_t>(next)];
        tab->urlString.set(entry);
        tab->updateInternalState();
        tab->applyInternalFavicon();
        if (auto route = tab->internalRoute.get())
            tab->title.set(*route == InternalPageRoute::newtab ? "New Tab" : std::string(route->displayTitle()));
        found->coordinator().lastLoadedCanonicalURL.reset();
        auto& current = ensureHost(tab, *state);
        current.coordinator().load(entry, current.webView(), true);
        updateNavigationState(tabID);
        state->syncOmniboxFromTab();
        return;
    }
    WebKitWebView* view = found->webView();
    if (direction < 0) {
        if (canGoBack(view, *tab))
            found->coordinator().goTo(backItem(view), view);
        else
            tab->canGoBack.set(false);
    } else {
        if (canGoForward(view, *tab))
            found->coordinator().goTo(forwardItem(view, *tab), view);
        else
            tab->canGoForward.set(false);
    }
}

// ---- sessions -----------------------------------------------------------------------

GObjectPtr<WebKitNetworkSession> TabWebViewStore::sessionFor(const AppState& state) {
    auto session = services_.websiteData.sessionFor(state.dataStoreForCurrentProfile());
    downloads_->watch(session.get());
    return session;
}

}  // namespace quorelle
