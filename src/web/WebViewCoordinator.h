#pragma once

#include "model/GLibPtr.h"
#include "model/Json.h"
#include "web/FirstLoadGate.h"
#include "web/ShownPage.h"
#include "web/UsersLoad.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitBackForwardListItem WebKitBackForwardListItem;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _WebKitPolicyDecision WebKitPolicyDecision;
typedef struct _WebKitNavigationAction WebKitNavigationAction;
typedef struct _WebKitScriptDialog WebKitScriptDialog;
typedef struct _GError GError;
typedef struct _JSCValue JSCValue;
typedef struct _GParamSpec GParamSpec;
typedef struct _GtkWidget GtkWidget;

namespace quorelle {

class AppState;
class BrowserTab;
class TabWebViewStore;

// Sits between one tab's web view and the tab model: decides how an address
// is loaded (an internal page rendered to HTML, a local file or a web
// request), keeps the same address from loading twice by accident, and turns
// the engine's events into writes on the tab and calls on the browser state.
// It is also the receiving end of the internal pages' script bridge.
class WebViewCoordinator : public std::enable_shared_from_this<WebViewCoordinator> {
public:
    // Internal pages and the error page are loaded as HTML under this base.
    // The host is under the reserved ".invalid" name, so no site can have it.
    static constexpr const char* internalBaseURL = "https://vx-internal.invalid/";
    static constexpr const char* internalHost = "vx-internal.invalid";
    static constexpr const char* bridgeName = "quorelle";
    static constexpr const char* legacyBridgeName = "vxBridge";
    // How long a web request may stay unanswered before it is given up.
    static constexpr unsigned requestTimeoutSeconds = 60;

    explicit WebViewCoordinator(TabWebViewStore& store);
    ~WebViewCoordinator();
    WebViewCoordinator(const WebViewCoordinator&) = delete;
    WebViewCoordinator& operator=(const WebViewCoordinator&) = delete;

    // Connects to the view's and its content manager's signals.
    void connect(WebKitWebView* view, WebKitUserContentManager* contentManager);
    void disconnect();

    void attach(const std::shared_ptr<BrowserTab>& tab, AppState& state);
    std::shared_ptr<BrowserTab> tab() const { return tab_.lock(); }
    std::shared_ptr<AppState> appState() const { return appState_.lock(); }

    // The last address this coordinator began to load (the canonical form
    // for internal addresses); empty until the first load.
    std::optional<std::string> lastLoadedCanonicalURL;

    void load(const std::string& urlString, WebKitWebView* view, bool isInternalHistoryNavigation);
    // Stops the view's load, and drops a load still held back for it.
    void stop(WebKitWebView* view);
    // Reloads a tab that names the web address `urlString` (see the source).
    void reloadWebAddress(const std::string& urlString, WebKitWebView* view);
    // Steps to `item` of the view's back/forward list. The step is the
    // user's newest load: one they asked for before is not asked for again.
    void goTo(WebKitBackForwardListItem* item, WebKitWebView* view);

    // The first page of the view's back/forward list that a new load dropped
    // (see dropPagesAhead): Forward steps end before it. None when none was.
    WebKitBackForwardListItem* firstDroppedItem() const { return firstDroppedItem_.get(); }

    // How long a web request may wait for its first answer (tests shorten it).
    void setRequestTimeLimit(std::chrono::milliseconds limit) { requestTimeLimit_ = limit; }

    // True when a bridge message may act: the view shows an internal page and
    // the message carries the token of that page's render.
    static bool acceptsBridgeMessage(const std::string& viewURI, const Json& message, const std::string& token);
    static bool isInternalPageURI(const std::string& uri);
    // True when `view` shows an internal page (false for no view).
    static bool showsInternalPage(WebKitWebView* view);

private:
    // `newLoad`: not a step back or forward, nor a reload.
    void loadInternal(const std::string& urlString, WebKitWebView* view, bool newLoad);
    void dropPagesAhead(WebKitWebView* view);
    void loadErrorPage(const std::string& message, WebKitWebView* view);
    // The failed load state of `address` and the error page with `message`.
    void showFailure(const std::string& message, const std::string& address, WebKitWebView* view);
    void showPage(WebKitWebView* view, const std::string& html, const std::string& token);
    void scheduleOmniboxSync();
    // Puts the tab back to the page on screen after a navigation that did not
    // replace it (a download, a response the engine does not show, or a load
    // stopped before it committed).
    void restoreShownPage();
    // True when the page on screen, as last named, is the web page `address`,
    // or the document first named `address` has moved within itself since.
    bool showsWebPage(const std::string& address) const;
    // Runs `work` on a later turn of the main queue, if this coordinator is
    // still there then; laterOnTab, if its tab is too.
    void later(std::function<void(WebViewCoordinator&)> work);
    void laterOnTab(std::function<void(BrowserTab&)> work);
    void startRequestTimer(WebKitWebView* view);
    void cancelRequestTimer();

    void onLoadStarted(WebKitWebView* view);
    void onLoadCommitted(WebKitWebView* view);
    void onLoadFinished(WebKitWebView* view);
    // The tab names the page on screen, as loaded: after a finish, or after
    // the page moved within its document (`sameDocument`).
    void nameShownPage(WebKitWebView* view, bool sameDocument);
    void onWebPageFinished(WebKitWebView* view, const std::string& address, bool sameDocument);
    void fetchFavicon(const std::string& address);
    enum class Visit { record, none };
    // Reads the page's title, then records the visit if asked to.
    void readTitle(WebKitWebView* view, const std::string& address, Visit visit);
    void onAddressChanged(WebKitWebView* view);
    bool usersLoadDroppedByMove(WebKitWebView* view) const;
    bool movedWithinDocument(WebKitWebView* view) const;
    // `afterCommit`: the load had committed its page when it failed.
    bool onLoadFailed(WebKitWebView* view, bool afterCommit, const std::string& address, const GError* error);
    bool onDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision);
    bool isMainFrameNavigation(WebKitNavigationAction* navigation);
    void noteUsersNavigation(WebKitWebView* view, WebKitNavigationAction* navigation, const std::string& uri);
    bool onDecideNewWindow(WebKitPolicyDecision* decision);
    void divertInternalNavigation(WebKitNavigationAction* navigation, const std::string& uri);
    void onCreate(WebKitNavigationAction* action);
    void onScriptMessage(JSCValue* value);

    static void handleLoadChanged(WebKitWebView* view, int event, gpointer self);
    static void handleAddressChanged(GObject* view, GParamSpec* property, gpointer self);
    static gboolean handleLoadFailed(WebKitWebView* view, int event, char* uri, GError* error, gpointer self);
    static gboolean handleDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision, int type, gpointer self);
    static GtkWidget* handleCreate(WebKitWebView* view, WebKitNavigationAction* action, gpointer self);
    static void handleScriptMessage(WebKitUserContentManager* manager, JSCValue* value, gpointer self);
    static gboolean handlePermissionRequest(WebKitWebView* view, GObject* request, gpointer self);
    static gboolean handleScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, gpointer self);

    TabWebViewStore& store_;
    // Every load this coordinator sends goes through here (see FirstLoadGate).
    FirstLoadGate firstLoadGate_;
    std::weak_ptr<BrowserTab> tab_;
    std::weak_ptr<AppState> appState_;
    GWeakPtr<WebKitWebView> webView_;
    GWeakPtr<WebKitUserContentManager> contentManager_;
    std::string bridgeToken_;        // the token of the page now shown, if internal
    std::optional<ShownPage> shownPage_;  // what the tab said about the page on screen
    GObjectPtr<WebKitBackForwardListItem> firstDroppedItem_;
    bool showsWebDocument_ = false;       // the engine's committed document is a web page
    std::string documentAddress_;         // the address the web page on screen was first named by
    std::string pageBackground_;          // the colour of the browser's page shown last
    bool mainFrameLoadRequested_ = false;  // the next navigation decision is for this load
    bool loadUnderWay_ = false;            // a load has started and not finished
    std::string loadStartedFor_;           // the address the latest load started for
    UsersLoad usersLoad_;                  // the load the user asked for, until it commits or ends
    std::string refusedAddress_;           // the address the engine refused in place, until its load ends
    int failedLoadsAwaitingFinish_ = 0;  // each failure counted is followed by a finish to ignore
    bool unnamedPageOnScreen_ = false;     // a page a newer load cut short after it committed
    bool requestTimedOut_ = false;
    bool requestTimerWanted_ = false;  // the next request to start gets the time limit
    unsigned requestTimer_ = 0;
    std::chrono::milliseconds requestTimeLimit_{std::chrono::seconds(requestTimeoutSeconds)};
};

}  // namespace quorelle
