#pragma once

// The browser's process-wide web services over a temporary folder: the web
// view cache and the services it works with, the command bus, a data store
// and the other pieces a browser state is made from. Favicon lookups go to a
// loopback server, which also serves the tests' pages; nothing leaves the
// machine.

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
#include "web/WebsiteDataService.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

namespace quorelle::testing {

class WebServicesTest : public ::testing::Test {
protected:
    // `folderPattern` as for g_dir_make_tmp.
    explicit WebServicesTest(const char* folderPattern,
                             std::chrono::milliseconds faviconTimeLimit = FaviconService::defaultRequestTimeLimit)
        : folder_(folderPattern), scratch_(folder_.path()) {
        FaviconService::Endpoints endpoints;
        const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
        endpoints.faviconDirect = [base](const std::string& host) { return base + "/fav/" + host + ".ico"; };
        endpoints.faviconLookupBase = base + "/lookup?domain=";
        favicons = std::make_unique<FaviconService>(queue, endpoints, faviconTimeLimit);
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
    }
    // The states go first, then the web views, whose pages get a moment to
    // wind down.
    ~WebServicesTest() override {
        state.reset();
        if (!webStore) return;
        webStore.reset();
        runFor(50);
    }

    // A browser state over the test's data store (or `data`) and these
    // services.
    std::shared_ptr<AppState> makeState(bool guestWindow = false) { return makeState(*store, guestWindow); }
    std::shared_ptr<AppState> makeState(DataStore& data, bool guestWindow) {
        return AppState::create(guestWindow, AppStateServices{data, queue, *webStore, *favicons, *identity,
                                                               *proxyTester, *websiteData, keychain, clipboard});
    }

    EngineScratchFolder folder_;
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
    std::shared_ptr<AppState> state;
};

}  // namespace quorelle::testing
