#pragma once

// A browser state wired to real web views: the web view cache, favicon
// service and proxy tester over a temporary data folder, the active tab shown
// in a real window, and a loopback server for pages.

#include "model/QuorelleAssets.h"
#include "state/AppState.h"
#include "store/DataStore.h"
#include "store/MainQueue.h"
#include "support/EngineScratchFolder.h"
#include "support/InMemoryKeychain.h"
#include "support/LoopbackServer.h"
#include "support/MainLoopWait.h"
#include "support/StateTestSupport.h"
#include "web/BrowserIdentityManager.h"
#include "web/CommandBus.h"
#include "web/FaviconService.h"
#include "web/ProxyTester.h"
#include "web/TabWebViewHost.h"
#include "web/TabWebViewStore.h"
#include "web/WebContentServices.h"
#include "web/WebTabView.h"
#include "web/WebViewCoordinator.h"
#include "web/WebsiteDataService.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <memory>

namespace quorelle::testing {

class WebTest : public ::testing::Test {
protected:
    WebTest() : scratch_(folder_.path()) {
        FaviconService::Endpoints endpoints;
        const int port = server.port();
        endpoints.faviconDirect = [port](const std::string& host) {
            return "http://127.0.0.1:" + std::to_string(port) + "/fav/" + host + ".ico";
        };
        endpoints.faviconLookupBase = "http://127.0.0.1:" + std::to_string(port) + "/lookup?domain=";
        favicons = std::make_unique<FaviconService>(queue, endpoints, std::chrono::milliseconds(2000));
        proxyTester = std::make_unique<ProxyTester>(queue, "http://check.invalid/success");
        websiteData = std::make_unique<WebsiteDataService>(
            queue, WebsiteDataService::Folders{scratch_ + "/webdata", scratch_ + "/webcache"});
        services = std::make_unique<WebContentServices>(WebContentServices{*websiteData, *favicons});
        webStore = std::make_unique<TabWebViewStore>(queue, *services);
        identity = std::make_unique<BrowserIdentityManager>(
            [this](const Uuid& tabID) -> IUserAgentView* { return webStore->host(tabID); });
        commands = std::make_unique<CommandBus>(queue);
        store = std::make_unique<DataStore>(scratch_ + "/QuorelleData", DataStore::Access::readWrite,
                                            AtomicFile::Durability::cached);
        window = GTK_WINDOW(gtk_window_new());
        gtk_window_set_default_size(window, 800, 600);
        tabView = Gtk::make_managed<WebTabView>(*webStore, *commands);
        gtk_window_set_child(window, GTK_WIDGET(tabView->gobj()));
        gtk_window_present(window);
    }
    ~WebTest() override {
        state.reset();
        gtk_window_destroy(window);
        webStore.reset();
        runFor(50);
    }

    std::shared_ptr<AppState> makeState(bool guestWindow = false) {
        auto made = AppState::create(guestWindow, AppStateServices{*store, queue, *webStore, *favicons, *identity,
                                                                   *proxyTester, *websiteData, keychain, clipboard});
        return made;
    }
    void start() {
        state = makeState();
        showActiveTab();
        EXPECT_TRUE(waitForPage("vx://newtab"));
    }
    void showActiveTab() { tabView->showTab(state->activeTab(), *state); }
    std::shared_ptr<BrowserTab> tab() const { return state->activeTab(); }
    TabWebViewHost* host() const { return webStore->host(tab()->id()); }
    WebKitWebView* view() const { return host() ? host()->webView() : nullptr; }
    std::string viewURI() const {
        const char* uri = view() ? webkit_web_view_get_uri(view()) : nullptr;
        return uri ? uri : "";
    }
    // Waits until the active tab shows `address` and is no longer loading.
    bool waitForPage(const std::string& address, int timeoutMs = 10000) {
        return runUntil(
            [&] {
                auto t = tab();
                const std::string shown = QuorelleAssets::isInternalURL(address)
                                              ? std::string(WebViewCoordinator::internalBaseURL)
                                              : address;
                return t && t->urlString.get() == address && !t->isLoading.get() && view() &&
                       !webkit_web_view_is_loading(view()) && viewURI() == shown && queue.pending() == 0;
            },
            timeoutMs);
    }
    // Runs a script in the page as if the user did it.
    std::string evalJS(const std::string& script) {
        std::optional<ScriptResult> result;
        host()->evaluateScript(script, [&](ScriptResult r) { result = std::move(r); });
        runUntil([&] { return result.has_value(); });
        return result ? result->valueJSON : std::string("<no answer>");
    }

    EngineScratchFolder folder_{"quorelle-web-XXXXXX"};
    std::string scratch_;
    LoopbackServer server;
    MainQueue queue;
    std::unique_ptr<FaviconService> favicons;
    std::unique_ptr<ProxyTester> proxyTester;
    std::unique_ptr<WebsiteDataService> websiteData;
    std::unique_ptr<WebContentServices> services;
    std::unique_ptr<TabWebViewStore> webStore;
    std::unique_ptr<BrowserIdentityManager> identity;
    std::unique_ptr<CommandBus> commands;
    std::unique_ptr<DataStore> store;
    InMemoryKeychain keychain;
    RecordingClipboard clipboard;
    GtkWindow* window = nullptr;
    WebTabView* tabView = nullptr;  // owned by the window
    std::shared_ptr<AppState> state;
};

}  // namespace quorelle::testing
