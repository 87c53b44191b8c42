#include "web/TabWebViewHost.h"

#include "model/BrowserTab.h"
#include "state/AppState.h"
#include "web/BrowserIdentityManager.h"
#include "web/ScriptAnswer.h"
#include "web/TabWebViewStore.h"
#include "web/WebContentServices.h"
#include "web/WebContextMenuHandler.h"
#include "web/WebViewCoordinator.h"

#include <webkit/webkit.h>

namespace quorelle {

TabWebViewHost::TabWebViewHost(const std::shared_ptr<BrowserTab>& tab, AppState& state, TabWebViewStore& store)
    : tabID_(tab->id()), store_(store) {
    contentManager_ = GObjectPtr<WebKitUserContentManager>::adopt(webkit_user_content_manager_new());
    auto settings = GObjectPtr<WebKitSettings>::adopt(webkit_settings_new());
    webkit_settings_set_enable_javascript(settings.get(), TRUE);
    webkit_settings_set_enable_back_forward_navigation_gestures(settings.get(), TRUE);
    // Read once: a later change reaches only web views made afterwards.
    if (state.settings().developerMode) webkit_settings_set_enable_developer_extras(settings.get(), TRUE);

    if (!store.services().acceleratedCompositing)
        webkit_settings_set_hardware_acceleration_policy(settings.get(), WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    auto session = store.sessionFor(state);
    webView_ = GObjectPtr<WebKitWebView>::sink(WEBKIT_WEB_VIEW(
        g_object_new(WEBKIT_TYPE_WEB_VIEW, "network-session", session.get(), "user-content-manager",
                     contentManager_.get(), "settings", settings.get(), nullptr)));

    coordinator_ = std::make_shared<WebViewCoordinator>(store);
    coordinator_->attach(tab, state);
    coordinator_->connect(webView_.get(), contentManager_.get());
    WebContextMenuHandler::install(webView_.get(), store, coordinator_);
    BrowserIdentityManager::applyOnHostCreation(*this, state);
}

TabWebViewHost::~TabWebViewHost() {
    coordinator_->disconnect();
    // Nothing may keep running unseen once the tab is gone.
    webkit_web_view_stop_loading(webView_.get());
    // The engine's own work on the view, or work still queued for its page,
    // may hold the view, and with it the page, a moment longer out of any
    // window: there the engine must not take the picture of the view it keeps
    // for a back or forward swipe each time the page adds a history entry, as
    // it would read the window the view is not in.
    webkit_settings_set_enable_back_forward_navigation_gestures(webkit_web_view_get_settings(webView_.get()), FALSE);
    detachFromParent(GTK_WIDGET(webView_.get()));
}

void TabWebViewHost::detachFromParent(GtkWidget* view) {
    GtkWidget* parent = gtk_widget_get_parent(view);
    if (!parent) return;
    if (GTK_IS_STACK(parent))
        gtk_stack_remove(GTK_STACK(parent), view);
    else if (GTK_IS_OVERLAY(parent) && gtk_overlay_get_child(GTK_OVERLAY(parent)) == view)
        gtk_overlay_set_child(GTK_OVERLAY(parent), nullptr);
}

void TabWebViewHost::attach(const std::shared_ptr<BrowserTab>& tab, AppState& state) {
    coordinator_->attach(tab, state);
}

void TabWebViewHost::navigate(const std::string& address, bool isInternalHistoryNavigation) {
    coordinator_->load(address, webView_.get(), isInternalHistoryNavigation);
}

void TabWebViewHost::goBack() { store_.goBack(tabID_); }

void TabWebViewHost::goForward() { store_.goForward(tabID_); }

void TabWebViewHost::reload() {
    auto tab = coordinator_->tab();
    auto state = coordinator_->appState();
    if (tab && state) store_.reload(tab, *state);
}

void TabWebViewHost::stop() { coordinator_->stop(webView_.get()); }

std::optional<std::string> TabWebViewHost::currentURL() const {
    const char* uri = webkit_web_view_get_uri(webView_.get());
    if (!uri || !*uri) return std::nullopt;
    return std::string(uri);
}

void TabWebViewHost::setUserAgent(const std::optional<std::string>& userAgent) {
    WebKitSettings* settings = webkit_web_view_get_settings(webView_.get());
    webkit_settings_set_user_agent(settings, userAgent ? userAgent->c_str() : nullptr);
}

void TabWebViewHost::enableDeveloperExtras() {
    webkit_settings_set_enable_developer_extras(webkit_web_view_get_settings(webView_.get()), TRUE);
}

// The engine's inspector always exists in this build.
bool TabWebViewHost::showEngineInspector() {
    webkit_web_inspector_show(webkit_web_view_get_inspector(webView_.get()));
    return true;
}

void TabWebViewHost::evaluateScript(const std::string& script, std::function<void(ScriptResult)> done) {
    auto* pending = new std::function<void(ScriptResult)>(std::move(done));
    webkit_web_view_evaluate_javascript(
        webView_.get(), script.c_str(), static_cast<gssize>(script.size()), nullptr, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<std::function<void(ScriptResult)>> done(static_cast<std::function<void(ScriptResult)>*>(data));
            (*done)(ScriptAnswer::outcome(source, result));
        },
        pending);
}

}  // namespace quorelle
