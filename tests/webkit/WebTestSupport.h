#pragma once

// A browser state wired to real web views (see WebServicesTest), with the
// active tab shown in a real window.

#include "model/QuorelleAssets.h"
#include "support/WebServicesTest.h"
#include "web/WebTabView.h"
#include "web/WebViewCoordinator.h"

#include <glib.h>
#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <memory>

namespace quorelle::testing {

class WebTest : public WebServicesTest {
protected:
    WebTest() : WebServicesTest("quorelle-web-XXXXXX", std::chrono::milliseconds(2000)) {
        window = GTK_WINDOW(gtk_window_new());
        gtk_window_set_default_size(window, 800, 600);
        tabView = Gtk::make_managed<WebTabView>(*webStore, *commands);
        gtk_window_set_child(window, GTK_WIDGET(tabView->gobj()));
        gtk_window_present(window);
    }
    ~WebTest() override {
        state.reset();
        gtk_window_destroy(window);
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
    bool waitForPage(const std::string& address) {
        return runUntil(
            [&] {
                auto t = tab();
                const std::string shown = QuorelleAssets::isInternalURL(address)
                                              ? std::string(WebViewCoordinator::internalBaseURL)
                                              : address;
                return t && t->urlString.get() == address && !t->isLoading.get() && view() &&
                       !webkit_web_view_is_loading(view()) && viewURI() == shown && queue.pending() == 0;
            });
    }
    // Sends the active tab to `address` and waits until it shows it.
    bool loadPage(const std::string& address) {
        state->navigateActive(address);
        return waitForPage(address);
    }
    // Runs a script in the page as if the user did it.
    std::string evalJS(const std::string& script) {
        std::optional<ScriptResult> result;
        host()->evaluateScript(script, [&](ScriptResult r) { result = std::move(r); });
        runUntil([&] { return result.has_value(); });
        return result ? result->valueJSON : std::string("<no answer>");
    }
    // Whether the view shows the browser's page for a failed load.
    bool showsErrorPage() {
        return evalJS("document.body.innerText").find("Page failed to load") != std::string::npos;
    }

    GtkWindow* window = nullptr;
    WebTabView* tabView = nullptr;  // owned by the window
};

}  // namespace quorelle::testing
