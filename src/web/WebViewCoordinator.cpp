#include "web/WebViewCoordinator.h"

#include "model/BrowserNavigation.h"
#include "model/BrowserTab.h"
#include "model/JsonCodec.h"
#include "model/QuorelleAssets.h"
#include "model/Text.h"
#include "model/UrlParts.h"
#include "state/AppState.h"
#include "store/MainQueue.h"
#include "web/InternalHTMLStyles.h"
#include "web/FaviconService.h"
#include "web/InternalPageProvider.h"
#include "web/ScriptAnswer.h"
#include "web/ScriptDialogRouter.h"
#include "web/TabWebViewHost.h"
#include "web/TabWebViewStore.h"
#include "web/WebContentServices.h"
#include "web/BridgeToken.h"

#include <webkit/webkit.h>

namespace quorelle {
namespace {

std::string uriOf(WebKitWebView* view) {
    const char* uri = view ? webkit_web_view_get_uri(view) : nullptr;
    return uri ? uri : "";
}

std::string currentItemURI(WebKitWebView* view) {
    WebKitBackForwardList* list = webkit_web_view_get_back_forward_list(view);
    WebKitBackForwardListItem* item = webkit_back_forward_list_get_current_item(list);
    const char* uri = item ? webkit_back_forward_list_item_get_uri(item) : nullptr;
    return uri ? uri : "";
}

std::string lowerHost(const std::string& uri) {
    auto parts = UrlParts::parse(uri);
    return parts && parts->host ? text::lowercased(*parts->host) : std::string();
}

std::string lowerScheme(const std::string& uri) {
    auto parts = UrlParts::parse(uri);
    return parts && parts->scheme ? text::lowercased(*parts->scheme) : std::string();
}

// What the view shows where its page has not painted yet: a new view's
// first frames, or a strip a resize has just uncovered.
void setBackground(WebKitWebView* view, const std::string& hex) {
    GdkRGBA color;
    GdkRGBA current;
    if (!gdk_rgba_parse(&color, hex.c_str())) return;
    webkit_web_view_get_background_color(view, &current);
    if (!gdk_rgba_equal(&color, &current)) webkit_web_view_set_background_color(view, &color);
}

// A web page that paints no background of its own shows the engine's white.
constexpr const char* kWebPageBackground = "#ffffff";

// A response turned into a download, or one the engine does not show,
// interrupts its load and leaves the page before on screen.
bool leavesPageOnScreen(const GError* error) {
    return error->domain == WEBKIT_POLICY_ERROR &&
           error->code == WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE;
}

// Stopping a load and a second navigation both cancel the load in flight.
// Neither these nor an interrupted load is a failure the user needs to see.
bool isQuietCancellation(const GError* error) {
    return (error->domain == WEBKIT_NETWORK_ERROR && error->code == WEBKIT_NETWORK_ERROR_CANCELLED) ||
           leavesPageOnScreen(error);
}

// The engine keeps web pages off some addresses: ports other services own
// (9, 25, 6000 and more) and the 0.0.0.0 host. Reached through a redirect,
// such an address fails with the engine's restricted port error; typed or
// loaded directly, it fails without a word: the engine commits an empty
// document in its place. A load that started for an address and committed
// that empty document was refused so.
constexpr const char* kBlankDocument = "about:blank";
constexpr const char* kRefusedAddressReason = "Not allowed to use restricted network port";

bool wasRefusedInPlace(const std::string& started, const std::string& committed) {
    return committed == kBlankDocument && !started.empty() && started != kBlankDocument &&
           !WebViewCoordinator::isInternalPageURI(started);
}

}  // namespace

WebViewCoordinator::WebViewCoordinator(TabWebViewStore& store)
    : store_(store), firstLoadGate_([this] { later([](WebViewCoordinator& self) { self.firstLoadGate_.release(); }); }) {}

WebViewCoordinator::~WebViewCoordinator() {
    cancelRequestTimer();
    disconnect();
}

void WebViewCoordinator::connect(WebKitWebView* view, WebKitUserContentManager* contentManager) {
    webView_.set(view);
    contentManager_.set(contentManager);
    g_signal_connect(view, "load-changed", G_CALLBACK(handleLoadChanged), this);
    g_signal_connect(view, "notify::uri", G_CALLBACK(handleAddressChanged), this);
    g_signal_connect(view, "notify::is-loading", G_CALLBACK(handleAddressChanged), this);
    firstLoadGate_.watch(view);
    g_signal_connect(view, "load-failed", G_CALLBACK(handleLoadFailed), this);
    g_signal_connect(view, "decide-policy", G_CALLBACK(handleDecidePolicy), this);
    g_signal_connect(view, "create", G_CALLBACK(handleCreate), this);
    g_signal_connect(view, "permission-request", G_CALLBACK(handlePermissionRequest), this);
    g_signal_connect(view, "script-dialog", G_CALLBACK(handleScriptDialog), this);
    // Connected before the names are registered, so no message is missed.
    g_signal_connect(contentManager, "script-message-received::quorelle", G_CALLBACK(handleScriptMessage), this);
    g_signal_connect(contentManager, "script-message-received::vxBridge", G_CALLBACK(handleScriptMessage), this);
    webkit_user_content_manager_register_script_message_handler(contentManager, bridgeName, nullptr);
    webkit_user_content_manager_register_script_message_handler(contentManager, legacyBridgeName, nullptr);
}

void WebViewCoordinator::disconnect() {
    firstLoadGate_.unwatch();
    if (auto view = webView_.get()) g_signal_handlers_disconnect_by_data(view.get(), this);
    if (auto manager = contentManager_.get()) g_signal_handlers_disconnect_by_data(manager.get(), this);
}

void WebViewCoordinator::attach(const std::shared_ptr<BrowserTab>& tab, AppState& state) {
    tab_ = tab;
    appState_ = state.weak_from_this();
}

// ---- loading -------------------------------------------------------------------

void WebViewCoordinator::load(const std::string& urlString, WebKitWebView* view, bool isInternalHistoryNavigation) {
    webView_.set(view);
    const bool internal = QuorelleAssets::isInternalURL(urlString);
    const std::string target = internal ? BrowserNavigation::canonicalInternalURL(urlString) : urlString;
    if (!isInternalHistoryNavigation) {
        // An internal address is compared with what this coordinator loaded
        // last; a web address with what the view shows now, so that an address
        // re-submitted after following links is loaded again.
        if (internal && lastLoadedCanonicalURL == target) return;
        if (!internal && uriOf(view) == target) return;
    }
    lastLoadedCanonicalURL = target;
    if (internal) {
        loadInternal(target, view, !isInternalHistoryNavigation);
        return;
    }
    auto parts = UrlParts::parse(target);
    if (!parts || !parts->scheme) return;
    laterOnTab([](BrowserTab& tab) {
        tab.isInternal.set(false);
        tab.updateInternalState();
    });
    const bool timed = text::lowercased(*parts->scheme) != "file";
    firstLoadGate_.pass([this, view, target, timed] {
        usersLoad_.ask(view, target, [this, target, timed](WebKitWebView* view) {
            mainFrameLoadRequested_ = true;
            webkit_web_view_load_uri(view, target.c_str());
            // The clock starts when the engine starts the request (see handleLoadChanged).
            requestTimerWanted_ = timed;
        });
    });
}

void WebViewCoordinator::stop(WebKitWebView* view) {
    firstLoadGate_.stop();
    usersLoad_.end();
    webkit_web_view_stop_loading(view);
}

// The engine's own reload repeats the document it last committed. While that
// is one of the browser's pages (or nothing yet), it would ask the network for
// the internal pages' base address instead of the tab's; so the tab's own
// address is loaded again. An address that never parsed is not loaded, and
// the tab stays as it was.
void WebViewCoordinator::reloadWebAddress(const std::string& urlString, WebKitWebView* view) {
    if (showsWebDocument_)
        webkit_web_view_reload(view);
    else
        load(urlString, view, true);
}

void WebViewCoordinator::goTo(WebKitBackForwardListItem* item, WebKitWebView* view) {
    usersLoad_.end();
    webkit_web_view_go_to_back_forward_list_item(view, item);
}

void WebViewCoordinator::loadInternal(const std::string& urlString, WebKitWebView* view, bool newLoad) {
    auto state = appState();
    if (!state) return;
    const std::string canonical = BrowserNavigation::canonicalInternalURL(urlString);
    lastLoadedCanonicalURL = canonical;
    if (newLoad) dropPagesAhead(view);
    if (auto tab = this->tab()) {
        const auto route = InternalPageRoute::from(canonical);
        tab->urlString.set(canonical);
        tab->isInternal.set(true);
        tab->internalRoute.set(route);
        tab->isSecure.set(true);
        tab->isLoading.set(false);
        tab->loadProgress.set(1.0);
        tab->loadState.set(TabLoadState::loaded());
        tab->applyInternalFavicon();
        if (!route)
            tab->title.set("Page not found");
        else
            tab->title.set(*route == InternalPageRoute::newtab ? "New Tab" : std::string(route->displayTitle()));
        shownPage_ = ShownPage::of(*tab);
        store_.updateNavigationState(tab->id());
    }
    auto page = InternalPageProvider::html(canonical, *state);
    if (!page) page = InternalPageProvider::notFoundHTML(canonical, *state);
    if (page->html.empty()) return;
    const bool newTabPage = InternalPageRoute::from(canonical) == InternalPageRoute::newtab;
    pageBackground_ = InternalHTMLStyles::firstPaintColor(state->theme(), newTabPage);
    setBackground(view, pageBackground_);
    showPage(view, page->html, page->token);
    scheduleOmniboxSync();
}

// A new load leaves nothing ahead. The engine drops the pages ahead itself
// when it commits a web page, but keeps them when one of the browser's pages
// is shown instead (loaded as HTML, which it keeps out of its list) and when a
// new load fails. For the browser they are gone all the same: Forward ends
// before the first of them. So do the tab's own internal pages ahead.
void WebViewCoordinator::dropPagesAhead(WebKitWebView* view) {
    WebKitBackForwardList* list = webkit_web_view_get_back_forward_list(view);
    firstDroppedItem_ = GObjectPtr<WebKitBackForwardListItem>::retain(webkit_back_forward_list_get_forward_item(list));
    if (auto tab = this->tab()) tab->dropInternalHistoryAhead();
}

void WebViewCoordinator::loadErrorPage(const std::string& message, WebKitWebView* view) {
    auto state = appState();
    const ThemeSettings theme = state ? state->theme() : ThemeSettings::chromeDefault(true);
    const ThemeColors colors = theme.colors.sanitized(theme.useDarkMode);
    const std::string body =
        "<div style=\"font-family:system-ui,sans-serif;text-align:center;padding:80px 20px;color:" +
        colors.primaryText + "\">\n  <h1>Page failed to load</h1>\n  <p style=\"color:" + colors.mutedText +
        "\">" + InternalHTMLStyles::escapeHTML(message) + "</p>\n</div>";
    const std::string token = BridgeToken::generate();
    pageBackground_ = InternalHTMLStyles::firstPaintColor(theme, false);
    setBackground(view, pageBackground_);
    showPage(view, InternalHTMLStyles::wrap("Error", body, theme, "", token), token);
}

void WebViewCoordinator::showPage(WebKitWebView* view, const std::string& html, const std::string& token) {
    firstLoadGate_.pass([this, view, html, token] {
        usersLoad_.ask(view, internalBaseURL, [this, html, token](WebKitWebView* view) {
            cancelRequestTimer();
            requestTimerWanted_ = false;
            bridgeToken_ = token;
            webkit_web_view_load_html(view, html.c_str(), internalBaseURL);
        });
    });
}

void WebViewCoordinator::scheduleOmniboxSync() {
    later([](WebViewCoordinator& self) {
        if (auto state = self.appState()) state->syncOmniboxFromTab();
    });
}

// The page may have moved within itself meanwhile, unnamed while the load
// was under way: the tab names it where it is now.
void WebViewCoordinator::restoreShownPage() {
    later([](WebViewCoordinator& self) {
        auto tab = self.tab();
        auto view = self.webView_.get();
        if (view && self.movedWithinDocument(view.get())) return self.nameShownPage(view.get(), true);
        if (!tab || !self.shownPage_ || self.shownPage_->isNamedBy(*tab)) return;
        self.shownPage_->restore(*tab);
        self.store_.updateNavigationState(tab->id());
        self.scheduleOmniboxSync();
    });
}

bool WebViewCoordinator::showsWebPage(const std::string& address) const {
    return shownPage_ && !shownPage_->isInternal && (shownPage_->urlString == address || documentAddress_ == address);
}

void WebViewCoordinator::later(std::function<void(WebViewCoordinator&)> work) {
    store_.mainQueue().post([weak = weak_from_this(), work = std::move(work)] {
        if (auto self = weak.lock()) work(*self);
    });
}

void WebViewCoordinator::laterOnTab(std::function<void(BrowserTab&)> work) {
    later([work = std::move(work)](WebViewCoordinator& self) {
        if (auto tab = self.tab()) work(*tab);
    });
}

// WebKitGTK has no per-request time-out: a load still unanswered after a
// minute is stopped, and its cancellation is reported as a time-out. Once the
// page has committed the request was answered, so the timer ends there: a
// slow image must not replace a page the user already sees.
void WebViewCoordinator::startRequestTimer(WebKitWebView* view) {
    cancelRequestTimer();
    requestTimedOut_ = false;
    requestTimer_ = g_timeout_add(
        static_cast<guint>(requestTimeLimit_.count()),
        [](gpointer data) -> gboolean {
            // The timer ends with the first answer, so a load still going now
            // has had none (the engine may not even report it as loading yet).
            auto* self = static_cast<WebViewCoordinator*>(data);
            self->requestTimer_ = 0;
            if (auto view = self->webView_.get()) {
                self->requestTimedOut_ = true;
                webkit_web_view_stop_loading(view.get());
            }
            return G_SOURCE_REMOVE;
        },
        this);
}

void WebViewCoordinator::cancelRequestTimer() {
    if (requestTimer_) g_source_remove(requestTimer_);
    requestTimer_ = 0;
}

// ---- bridge ---------------------------------------------------------------------

bool WebViewCoordinator::isInternalPageURI(const std::string& uri) { return lowerHost(uri) == internalHost; }

bool WebViewCoordinator::showsInternalPage(WebKitWebView* view) {
    const char* uri = view ? webkit_web_view_get_uri(view) : nullptr;
    return uri && isInternalPageURI(uri);
}

bool WebViewCoordinator::acceptsBridgeMessage(const std::string& viewURI, const Json& message,
                                              const std::string& token) {
    if (token.empty() || !isInternalPageURI(viewURI) || !message.is_object()) return false;
    auto it = message.find("token");
    return it != message.end() && it->is_string() && it->get_ref<const std::string&>() == token;
}

// ---- engine events ----------------------------------------------------------------

void WebViewCoordinator::handleLoadChanged(WebKitWebView* view, int event, gpointer self) {
    auto* coordinator = static_cast<WebViewCoordinator*>(self);
    if (event == WEBKIT_LOAD_STARTED) {
        if (std::exchange(coordinator->requestTimerWanted_, false)) coordinator->startRequestTimer(view);
        coordinator->onLoadStarted(view);
    }
    if (event == WEBKIT_LOAD_REDIRECTED) coordinator->usersLoad_.redirectedTo(uriOf(view));
    if (event == WEBKIT_LOAD_COMMITTED) coordinator->onLoadCommitted(view);
    if (event == WEBKIT_LOAD_FINISHED) coordinator->onLoadFinished(view);
}

void WebViewCoordinator::handleAddressChanged(GObject* view, GParamSpec*, gpointer self) {
    static_cast<WebViewCoordinator*>(self)->onAddressChanged(WEBKIT_WEB_VIEW(view));
}

// `event` is how far the load had come when it failed.
gboolean WebViewCoordinator::handleLoadFailed(WebKitWebView* view, int event, char* uri, GError* error, gpointer self) {
    return static_cast<WebViewCoordinator*>(self)->onLoadFailed(view, event == WEBKIT_LOAD_COMMITTED, uri ? uri : "",
                                                                error);
}

gboolean WebViewCoordinator::handleDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision, int type,
                                                gpointer self) {
    auto* coordinator = static_cast<WebViewCoordinator*>(self);
    if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return coordinator->onDecidePolicy(view, decision);
    // A link asking for a new window: an internal page opens in this tab, as
    // any internal link does; web addresses go on to become tabs.
    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) return coordinator->onDecideNewWindow(decision);
    return FALSE;
}

GtkWidget* WebViewCoordinator::handleCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer self) {
    static_cast<WebViewCoordinator*>(self)->onCreate(action);
    return nullptr;  // the page never gets a window object for the pop-up
}

void WebViewCoordinator::handleScriptMessage(WebKitUserContentManager*, JSCValue* value, gpointer self) {
    static_cast<WebViewCoordinator*>(self)->onScriptMessage(value);
}

// No site permission is granted: there are no per-site settings to keep them.
gboolean WebViewCoordinator::handlePermissionRequest(WebKitWebView*, GObject* request, gpointer) {
    webkit_permission_request_deny(WEBKIT_PERMISSION_REQUEST(request));
    return TRUE;
}

gboolean WebViewCoordinator::handleScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, gpointer self) {
    auto* coordinator = static_cast<WebViewCoordinator*>(self);
    return ScriptDialogRouter::route(view, dialog, coordinator->store_.services().scriptDialogs);
}

void WebViewCoordinator::onLoadStarted(WebKitWebView* view) {
    loadUnderWay_ = true;
    loadStartedFor_ = uriOf(view);
    refusedAddress_.clear();
    auto tab = this->tab();
    if (tab && tab->isInternal.get()) return;
    laterOnTab([](BrowserTab& tab) {
        tab.isLoading.set(true);
        tab.loadProgress.set(0.15);
        tab.loadState.set(TabLoadState::loading(0.15));
    });
}

void WebViewCoordinator::onLoadCommitted(WebKitWebView* view) {
    cancelRequestTimer();
    requestTimedOut_ = false;
    const std::string uri = uriOf(view);
    refusedAddress_ = wasRefusedInPlace(loadStartedFor_, uri) ? loadStartedFor_ : std::string();
    showsWebDocument_ = !uri.empty() && !isInternalPageURI(uri) && !BrowserNavigation::isBlockedInternalArtifact(uri);
    // The view's colour shows under a document that paints no background and
    // in the strips a resize uncovers: the theme's while one of the browser's
    // pages is shown, white once a web page has replaced it. A frame inside a
    // page, or a navigation that becomes a download, commits nothing here.
    mainFrameLoadRequested_ = false;
    unnamedPageOnScreen_ = false;
    usersLoad_.end();
    if (showsWebDocument_) setBackground(view, kWebPageBackground);
}

void WebViewCoordinator::onLoadFinished(WebKitWebView* view) {
    loadUnderWay_ = false;
    // The engine reports a finish right after every failure; that one is not
    // a page that finished.
    if (failedLoadsAwaitingFinish_ > 0) {
        --failedLoadsAwaitingFinish_;
        return;
    }
    if (!webkit_web_view_is_loading(view)) usersLoad_.end();
    unnamedPageOnScreen_ = false;
    // An address the engine refused in place fails as any other load does.
    if (!refusedAddress_.empty()) {
        const std::string address = std::exchange(refusedAddress_, {});
        showFailure("Could not load " + address + ": " + kRefusedAddressReason, address, view);
        return;
    }
    cancelRequestTimer();
    later([heldView = GObjectPtr<WebKitWebView>::retain(view)](WebViewCoordinator& self) {
        self.nameShownPage(heldView.get(), false);
    });
}

// A page can move to another address of its own without a load: a link to a
// place in it, location.hash, history.pushState or replaceState, and Back or
// Forward between such addresses. The engine then reports no load, only the
// new address (and for Back and Forward a moment of loading), and the tab
// names the page as after a finish, though with no visit: it is no load, and
// saves nothing. The address also changes while a load is
// asked for, redirected or committed, and goes back before a load that ends
// without a page reports its end: a move within the page is a change found
// with no load started and not finished, the view not loading, its
// back/forward list at that address, and a web page on screen named by
// another. The browser's own pages are left as they are.
void WebViewCoordinator::onAddressChanged(WebKitWebView* view) {
    if (usersLoadDroppedByMove(view)) return usersLoad_.askAgain(view);
    if (!movedWithinDocument(view)) return;
    later([heldView = GObjectPtr<WebKitWebView>::retain(view)](WebViewCoordinator& self) {
        if (!self.movedWithinDocument(heldView.get())) return;
        // A typed address that differs from the page's only by its fragment
        // moved within it, asking nothing of the network: the time limit it
        // wanted is not for whatever load starts next.
        self.requestTimerWanted_ = false;
        self.nameShownPage(heldView.get(), true);
    });
}

// Before the engine has started the user's load, a move of the page drops it
// without a word (and the engine no longer says it loads). The engine may
// also report the start late: the load is then asked for twice, and the
// second replaces the first.
bool WebViewCoordinator::usersLoadDroppedByMove(WebKitWebView* view) const {
    return usersLoad_.cutByMove() && !loadUnderWay_ && !webkit_web_view_is_loading(view) &&
           uriOf(view) == currentItemURI(view);
}

// While the user's load is under way, the tab names it, not the page it
// leaves.
bool WebViewCoordinator::movedWithinDocument(WebKitWebView* view) const {
    if (usersLoad_.pending() || loadUnderWay_ || webkit_web_view_is_loading(view) || !showsWebDocument_)
        return false;
    const std::string uri = uriOf(view);
    if (uri.empty() || isInternalPageURI(uri) || uri != currentItemURI(view)) return false;
    auto tab = this->tab();
    return tab && !tab->isInternal.get() && shownPage_ && !shownPage_->isInternal && shownPage_->urlString != uri;
}

void WebViewCoordinator::nameShownPage(WebKitWebView* view, bool sameDocument) {
    auto tab = this->tab();
    if (!tab) return;
    tab->isLoading.set(false);
    tab->loadProgress.set(1.0);
    tab->loadState.set(TabLoadState::loaded());
    // Internal or web is decided by what the view actually shows.
    const std::string uri = uriOf(view);
    if (isInternalPageURI(uri)) {
        tab->isInternal.set(true);
        tab->applyInternalFavicon();
        shownPage_ = ShownPage::of(*tab);
        store_.updateNavigationState(tab->id());
        scheduleOmniboxSync();
        return;
    }
    store_.updateNavigationState(tab->id());
    if (uri.empty() || BrowserNavigation::isBlockedInternalArtifact(uri)) return;
    onWebPageFinished(view, uri, sameDocument);
}

void WebViewCoordinator::onWebPageFinished(WebKitWebView* view, const std::string& address, bool sameDocument) {
    auto tab = this->tab();
    const bool samePage = tab->urlString.get() == address;
    tab->urlString.set(address);
    tab->isInternal.set(false);
    tab->updateInternalState();
    // Another page starts without the icon of the one before (a reload keeps
    // its own until the page answers, and a page that moved within itself
    // keeps it); a web page never shows the logo.
    const bool keepsIcon = samePage || sameDocument;
    if (!keepsIcon || QuorelleAssets::isQuorelleLogo(tab->faviconURL.get())) tab->applyInternalFavicon();
    tab->isSecure.set(lowerScheme(address) == "https");
    shownPage_ = ShownPage::of(*tab);
    if (!sameDocument) {
        documentAddress_ = address;
        fetchFavicon(address);
    }
    // Visits come from loads. A page can move within itself many times a
    // second (a player keeping its time in the address, a map, a feed noting
    // where it was scrolled): each visit would push an older one out of
    // history and save the profile.
    readTitle(view, address, sameDocument ? Visit::none : Visit::record);
}

void WebViewCoordinator::fetchFavicon(const std::string& address) {
    auto tab = this->tab();
    auto* host = tab ? store_.host(tab->id()) : nullptr;
    if (!host) return;
    auto answered = [weak = weak_from_this(), address](std::optional<std::string> favicon) {
        auto self = weak.lock();
        if (!favicon || !self) return;
        // The page keeps its icon though the tab has gone on to another
        // address before the answer came: stopped, it names the page again.
        const bool onScreen = self->showsWebPage(address);
        if (onScreen) self->shownPage_->faviconURL = *favicon;
        auto tab = self->tab();
        if (!tab || tab->isInternal.get()) return;
        // So does the tab that names it, or where it has moved within itself.
        if (tab->urlString.get() == address || (onScreen && self->shownPage_->isNamedBy(*tab)))
            tab->faviconURL.set(*favicon);
    };
    store_.services().favicons.fetch(*host, address, std::move(answered));
}

void WebViewCoordinator::readTitle(WebKitWebView* view, const std::string& address, Visit visit) {
    struct TitleRequest {
        std::weak_ptr<WebViewCoordinator> coordinator;
        std::string address;
        Visit visit;
    };
    webkit_web_view_evaluate_javascript(
        view, "document.title", -1, nullptr, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<TitleRequest> request(static_cast<TitleRequest*>(data));
            const std::optional<std::string> title = ScriptAnswer::text(source, result);
            auto self = request->coordinator.lock();
            if (!self) return;
            self->later([address = request->address, visit = request->visit, title](WebViewCoordinator& self) {
                auto tab = self.tab();
                if (!tab) return;
                // A page without a title of its own (or whose title could not
                // be read) is named by its address, never by the page before.
                const bool titled = title && !title->empty();
                const std::string pageTitle = titled ? *title : address;
                const std::string letter = titled ? text::uppercased(text::firstCharacter(pageTitle))
                                                  : QuorelleAssets::faviconLetter(address, pageTitle);
                // The page's own name, though the tab has gone on to another
                // address before the answer came (see the icon above).
                if (self.showsWebPage(address)) {
                    self.shownPage_->title = pageTitle;
                    self.shownPage_->faviconLetter = letter;
                }
                if (!tab->isInternal.get() && tab->urlString.get() == address) {
                    tab->title.set(pageTitle);
                    tab->faviconLetter.set(letter);
                }
                if (auto state = self.appState(); state && visit == Visit::record) state->addHistory(pageTitle, address);
                self.store_.updateNavigationState(tab->id());
                self.scheduleOmniboxSync();
            });
        },
        new TitleRequest{weak_from_this(), address, visit});
}

bool WebViewCoordinator::onLoadFailed(WebKitWebView* view, bool afterCommit, const std::string& address,
                                      const GError* error) {
    refusedAddress_.clear();
    cancelRequestTimer();
    const bool timedOut = std::exchange(requestTimedOut_, false);
    const bool quiet = isQuietCancellation(error) && !timedOut;
    // The engine is already busy with what cut this load short (an address,
    // a step, a reload, a link), though it reports that load's start only
    // after this failure: the tab is left to that load.
    const bool cancelled = quiet && !leavesPageOnScreen(error);
    const bool cutByNewerLoad = cancelled && webkit_web_view_is_loading(view);
    if (usersLoad_.wentThrough(address)) {
        if (cancelled && usersLoad_.cutByMove()) {
            // Cut short by the page it leaves, which moved within itself:
            // asked for again at once, and the tab goes on naming it.
            ++failedLoadsAwaitingFinish_;
            usersLoad_.askAgain(view);
            return TRUE;
        }
        // Stopped by the time limit, turned into a download or failed, it is
        // over; cancelled otherwise (by the same load asked for again, or by
        // the page's own script), it may yet be asked for again.
        if (!cancelled) usersLoad_.end();
    }
    if (quiet && !cutByNewerLoad && (afterCommit || unnamedPageOnScreen_)) {
        // Nothing failed: a page is on screen to stay. Either this load had
        // committed it and only its last requests were cut (Stop, or a page
        // brought back from the back/forward cache with the requests it had
        // going when it was left), or this load never committed and leaves
        // such a page that a newer load cut short. The finish that follows
        // names that page, as any finish does.
        return TRUE;
    }
    // A page cut short after it committed stays on screen until the newer
    // load replaces it, unnamed: its finish is a failure's.
    if (afterCommit && cutByNewerLoad) unnamedPageOnScreen_ = true;
    ++failedLoadsAwaitingFinish_;
    // A load an internal page replaced ends without touching the tab, which
    // already shows that page as loaded.
    auto tab = this->tab();
    if (tab && tab->isInternal.get()) return TRUE;
    mainFrameLoadRequested_ = false;
    if (quiet) {
        // One of the browser's pages still shown takes its colour back from
        // a navigation that turned the view white early and never replaced it.
        if (!showsWebDocument_ && !pageBackground_.empty()) setBackground(view, pageBackground_);
        laterOnTab([](BrowserTab& tab) {
            tab.isLoading.set(false);
            tab.loadState.set(TabLoadState::idle());
        });
        // Stopped, or turned into a download, the load leaves the page on
        // screen, and the tab names it again.
        if (!cutByNewerLoad) restoreShownPage();
        return TRUE;
    }
    showFailure(timedOut ? "The request timed out." : (error->message ? error->message : ""), address, view);
    return TRUE;  // instead of the engine's own error page
}

void WebViewCoordinator::showFailure(const std::string& message, const std::string& address, WebKitWebView* view) {
    // A step back or forward, or a reload, that fails leaves the engine on the
    // page it was for, and the error page stands for that page; any other
    // failed load was a new one.
    if (currentItemURI(view) != address) dropPagesAhead(view);
    laterOnTab([message, address](BrowserTab& tab) {
        tab.isLoading.set(false);
        tab.loadState.set(TabLoadState::failed(message));
        // The tab names the address that failed (a link followed from a page
        // has not named it yet), under that address: the error page has no
        // title of its own, and the page before is no longer shown.
        if (address.empty() || isInternalPageURI(address) || BrowserNavigation::isBlockedInternalArtifact(address))
            return;
        tab.urlString.set(address);
        tab.title.set(address);
    });
    loadErrorPage(message, view);
}

namespace {

std::string requestedURI(WebKitNavigationAction* navigation) {
    WebKitURIRequest* request = webkit_navigation_action_get_request(navigation);
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    return uri ? uri : "";
}

// A link the user really clicked, not one a script or a redirect followed.
bool clickedByUser(WebKitNavigationAction* navigation) {
    return webkit_navigation_action_get_navigation_type(navigation) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED &&
           webkit_navigation_action_is_user_gesture(navigation);
}

bool isInternalScheme(const std::string& uri) {
    return lowerScheme(uri) == BrowserNavigation::internalScheme || text::startsWith(text::lowercased(uri), "vx:");
}

}  // namespace

// Only a link the user really clicked may open an internal page; a script, a
// redirect or a frame must not turn the tab privileged. Either way the
// engine's own navigation is cancelled.
void WebViewCoordinator::divertInternalNavigation(WebKitNavigationAction* navigation, const std::string& uri) {
    if (!clickedByUser(navigation)) return;
    lastLoadedCanonicalURL.reset();
    later([canonical = BrowserNavigation::canonicalInternalURL(uri)](WebViewCoordinator& self) {
        if (auto view = self.webView_.get()) self.loadInternal(canonical, view.get(), true);
    });
}

bool WebViewCoordinator::onDecideNewWindow(WebKitPolicyDecision* decision) {
    auto* navigation = webkit_navigation_policy_decision_get_navigation_action(
        WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const std::string uri = requestedURI(navigation);
    if (!isInternalScheme(uri)) return FALSE;
    divertInternalNavigation(navigation, uri);
    webkit_policy_decision_ignore(decision);
    return TRUE;
}

// Whether a navigation is surely the main frame's: the engine does not say,
// but the browser's own loads, the user's clicks and history steps are, on
// the browser's pages, which hold no frames of their own.
bool WebViewCoordinator::isMainFrameNavigation(WebKitNavigationAction* navigation) {
    if (std::exchange(mainFrameLoadRequested_, false)) return true;
    switch (webkit_navigation_action_get_navigation_type(navigation)) {
        case WEBKIT_NAVIGATION_TYPE_LINK_CLICKED:
            return clickedByUser(navigation);
        case WEBKIT_NAVIGATION_TYPE_BACK_FORWARD:
            return true;
        default:
            return false;
    }
}

bool WebViewCoordinator::onDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision) {
    auto* navigation = webkit_navigation_policy_decision_get_navigation_action(
        WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const std::string uri = requestedURI(navigation);
    if (uri.empty()) return FALSE;
    if (isInternalScheme(uri)) {
        divertInternalNavigation(navigation, uri);
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
    if (BrowserNavigation::isBlockedInternalArtifact(uri)) {
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
    noteUsersNavigation(view, navigation, uri);
    // The engine gives a page's process the view's colour when it makes it,
    // before the page commits: a web page that replaces one of the browser's
    // pages would draw its first frame on the theme's colour. So the view
    // turns white here already for a navigation surely the main frame's; one
    // that ends without replacing the page gives the colour back.
    if (isMainFrameNavigation(navigation)) setBackground(view, kWebPageBackground);
    return FALSE;
}

// A move of the page on screen that the user did not click may cut the
// user's load short; a link the user clicked to another document is the
// user's load, which the engine follows this first time.
void WebViewCoordinator::noteUsersNavigation(WebKitWebView* view, WebKitNavigationAction* navigation,
                                             const std::string& uri) {
    const std::string onScreen = currentItemURI(view);
    if (!clickedByUser(navigation)) return usersLoad_.navigates(uri, onScreen);
    if (UsersLoad::documentOf(uri) == UsersLoad::documentOf(onScreen)) return;
    auto request = GObjectPtr<WebKitURIRequest>::retain(webkit_navigation_action_get_request(navigation));
    usersLoad_.follow(uri, [this, request](WebKitWebView* view) {
        mainFrameLoadRequested_ = true;
        webkit_web_view_load_request(view, request.get());
    });
}

void WebViewCoordinator::onCreate(WebKitNavigationAction* action) {
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const char* rawURI = request ? webkit_uri_request_get_uri(request) : nullptr;
    if (!rawURI) return;
    const std::string uri = rawURI;
    // Only web addresses become tabs: a page must not make the browser open
    // file:, data: or internal addresses at the top level.
    const std::string scheme = lowerScheme(uri);
    if (scheme != "http" && scheme != "https") return;
    later([uri](WebViewCoordinator& self) {
        if (auto state = self.appState()) state->newTab(uri);
    });
}

void WebViewCoordinator::onScriptMessage(JSCValue* value) {
    if (!value || !jsc_value_is_object(value) || jsc_value_is_array(value)) return;
    auto view = webView_.get();
    if (!view) return;
    const GCharPtr text(jsc_value_to_json(value, 0));
    if (!text) return;
    auto message = json::parse(text.get());
    if (!message || !acceptsBridgeMessage(uriOf(view.get()), *message, bridgeToken_)) return;
    message->erase("token");
    later([message = std::move(*message)](WebViewCoordinator& self) {
        if (auto state = self.appState()) state->handleInternalMessage(message);
    });
}

}  // namespace quorelle
