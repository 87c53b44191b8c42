#pragma once

// The whole browser on a virtual display: every process-wide object over a
// temporary folder, both browser states, and the application with its main
// window open. Pages come from a loopback server; nothing leaves the machine.

#include "app/QuorelleApplication.h"
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
#include "web/InspectorService.h"
#include "web/ProxyTester.h"
#include "web/TabWebViewStore.h"
#include "web/TabWebViewHost.h"
#include "web/WebContentServices.h"
#include "web/WebsiteDataService.h"
#include "window/FaviconImageCache.h"
#include "window/QuorelleLogoCache.h"
#include "window/ScriptDialogs.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace quorelle::testing {

// Where a widget lies inside one of its ancestors.
struct Bounds {
    double x = 0, y = 0, width = 0, height = 0;
};
inline Bounds boundsIn(Gtk::Widget& widget, Gtk::Widget& ancestor) {
    Bounds b;
    widget.translate_coordinates(ancestor, 0, 0, b.x, b.y);
    b.width = widget.get_width();
    b.height = widget.get_height();
    return b;
}

class AppTest : public ::testing::Test {
protected:
    static constexpr std::chrono::milliseconds toastDuration{400};

    AppTest() : scratch_(folder_.path()) {
        store_ = std::make_unique<DataStore>(scratch_ + "/QuorelleData", DataStore::Access::readWrite,
                                             AtomicFile::Durability::cached);
        guestStore_ = std::make_unique<DataStore>(scratch_ + "/QuorelleData", DataStore::Access::readOnly);
        FaviconService::Endpoints endpoints;
        const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
        endpoints.faviconDirect = [base](const std::string& host) { return base + "/fav/" + host + ".ico"; };
        endpoints.faviconLookupBase = base + "/lookup?domain=";
        favicons_ = std::make_unique<FaviconService>(queue_, endpoints);
        proxyTester_ = std::make_unique<ProxyTester>(queue_, "http://check.invalid/success");
        websiteData_ = std::make_unique<WebsiteDataService>(
            queue_, WebsiteDataService::Folders{scratch_ + "/webdata", scratch_ + "/webcache"});
        webServices_ = std::make_unique<WebContentServices>(
            WebContentServices{*websiteData_, *favicons_, nullptr, &scriptDialogs_});
        webViews_ = std::make_unique<TabWebViewStore>(queue_, *webServices_);
        identity_ = std::make_unique<BrowserIdentityManager>(
            [this](const Uuid& tabID) -> IUserAgentView* { return webViews_->host(tabID); });
        bus_ = std::make_unique<CommandBus>(queue_);
        inspector_ = std::make_unique<InspectorService>(queue_);
        faviconImages_ = std::make_unique<FaviconImageCache>(QuorelleLogoCache::shared());
        state = AppState::create(false, {*store_, queue_, *webViews_, *favicons_, *identity_, *proxyTester_,
                                          *websiteData_, keychain_, clipboard_});

        QuorelleApplication::Options options;
        // Each fixture registers its own name: an application object may
        // outlive its test briefly.
        static int fixtures = 0;
        options.applicationID = "io.github.quorelle.QuorelleTest" + std::to_string(++fixtures);
        options.flags = Gio::Application::Flags::NON_UNIQUE;
        options.window.toastDuration = toastDuration;
        auto makeGuestState = [this] {
            ++guestStatesMade;
            guestState = AppState::create(true, {*guestStore_, queue_, *webViews_, *favicons_, *identity_,
                                                 *proxyTester_, *websiteData_, keychain_, clipboard_});
            return guestState;
        };
        app = QuorelleApplication::create(BrowserServices{queue_, *webViews_, *bus_, *inspector_, *faviconImages_}, state,
                                          makeGuestState, options);
        app->register_application();
        app->activate();
        settle();
    }
    ~AppTest() override {
        app.reset();
        runFor(50);
        state.reset();
        guestState.reset();
        webViews_.reset();
        runFor(50);
    }

    BrowserWindow& mainWindow() { return *app->mainWindow(); }

    // Lets queued state work and the toolkit catch up.
    void settle() {
        for (int i = 0; i < 5; ++i) {
            queue_.drain();
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
        }
    }

    EngineScratchFolder folder_{"quorelle-app-XXXXXX"};
    std::string scratch_;
    LoopbackServer server;
    MainQueue queue_;
    std::unique_ptr<DataStore> store_;
    std::unique_ptr<DataStore> guestStore_;
    InMemoryKeychain keychain_;
    RecordingClipboard clipboard_;
    ScriptDialogs scriptDialogs_;
    std::unique_ptr<FaviconService> favicons_;
    std::unique_ptr<ProxyTester> proxyTester_;
    std::unique_ptr<WebsiteDataService> websiteData_;
    std::unique_ptr<WebContentServices> webServices_;
    std::unique_ptr<TabWebViewStore> webViews_;
    std::unique_ptr<BrowserIdentityManager> identity_;
    std::unique_ptr<CommandBus> bus_;
    std::unique_ptr<InspectorService> inspector_;
    std::unique_ptr<FaviconImageCache> faviconImages_;
    std::shared_ptr<AppState> state;
    std::shared_ptr<AppState> guestState;  // made when the guest window first opens
    int guestStatesMade = 0;
    Glib::RefPtr<QuorelleApplication> app;
};

}  // namespace quorelle::testing
