#pragma once

#include "model/GLibPtr.h"
#include "model/Uuid.h"
#include "web/IInspectableView.h"
#include "web/IScriptableView.h"
#include "web/IUserAgentView.h"

#include <memory>
#include <optional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _GtkWidget GtkWidget;

namespace quorelle {

class AppState;
class BrowserTab;
class TabWebViewStore;
class WebViewCoordinator;

// One tab's web view with the coordinator that loads pages into it. The host
// owns the view for the tab's whole life; releasing the host stops the page.
class TabWebViewHost : public IUserAgentView, public IScriptableView, public IInspectableView {
public:
    TabWebViewHost(const std::shared_ptr<BrowserTab>& tab, AppState& state, TabWebViewStore& store);
    ~TabWebViewHost() override;
    TabWebViewHost(const TabWebViewHost&) = delete;
    TabWebViewHost& operator=(const TabWebViewHost&) = delete;

    const Uuid& tabID() const { return tabID_; }
    WebKitWebView* webView() const { return webView_.get(); }
    WebViewCoordinator& coordinator() const { return *coordinator_; }

    // Takes a web view out of whatever window container shows it.
    static void detachFromParent(GtkWidget* view);

    // Re-points the coordinator at this tab and state.
    void attach(const std::shared_ptr<BrowserTab>& tab, AppState& state);
    // Loads through the coordinator; the internal history is not touched.
    void navigate(const std::string& address, bool isInternalHistoryNavigation);
    void goBack();
    void goForward();
    void reload();
    void stop();

    std::optional<std::string> currentURL() const override;
    void setUserAgent(const std::optional<std::string>& userAgent) override;
    void evaluateScript(const std::string& script, std::function<void(ScriptResult)> done) override;
    void enableDeveloperExtras() override;
    bool showEngineInspector() override;

private:
    Uuid tabID_;
    TabWebViewStore& store_;
    GObjectPtr<WebKitUserContentManager> contentManager_;
    GObjectPtr<WebKitWebView> webView_;
    std::shared_ptr<WebViewCoordinator> coordinator_;
};

}  // namespace quorelle
