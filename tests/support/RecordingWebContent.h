#pragma once

// An in-process stand-in for the web layer's services: it keeps a host per tab
// with the address it loaded last, applies the same repeat check and
// internal-history recording as the real web view cache, and records every
// request so tests can see what the browser state asked for. Favicons are
// answered from a cache the test fills, or later when the test says so.

#include "model/BrowserNavigation.h"
#include "model/BrowserTab.h"
#include "model/ProxyProfile.h"
#include "model/QuorelleAssets.h"
#include "model/UrlParts.h"
#include "state/IFavicons.h"
#include "state/IIdentity.h"
#include "state/IProxyTester.h"
#include "state/IWebContent.h"
#include "state/IWebsiteData.h"

#include <map>
#include <string>
#include <vector>

namespace quorelle::testing {

class RecordingWebContent : public IWebContent,
                            public IFavicons,
                            public IIdentity,
                            public IProxyTester,
                            public IWebsiteData {
public:
    struct Load {
        Uuid tabID;
        std::string address;
        bool historyStep;
    };
    struct Host {
        std::optional<std::string> lastLoadedCanonicalURL;
    };
    struct PendingFavicon {
        std::string pageURL;
        std::function<void(std::optional<std::string>)> completion;
    };

    void navigate(const std::shared_ptr<BrowserTab>& tab, const std::string& address, AppState&,
                  bool isInternalHistoryNavigation) override {
        auto& host = hosts[tab->id()];
        const bool internal = QuorelleAssets::isInternalURL(address);
        if (internal && !isInternalHistoryNavigation) tab->recordInternalNavigation(address);
        const std::string canonical = internal ? BrowserNavigation::canonicalInternalURL(address) : address;
        if (!isInternalHistoryNavigation && host.lastLoadedCanonicalURL == canonical) {
            ++skippedLoads;
            return;
        }
        host.lastLoadedCanonicalURL = canonical;
        loads.push_back({tab->id(), address, isInternalHistoryNavigation});
    }

    void reload(const std::shared_ptr<BrowserTab>& tab, AppState&) override { reloads.push_back(tab->id()); }

    void reloadInternal(const std::shared_ptr<BrowserTab>& tab, AppState& state) override {
        if (!hosts.count(tab->id())) return;
        internalReloads.push_back(tab->id());
        navigate(tab, tab->urlString.get(), state, true);
    }

    void removeHost(const Uuid& tabID) override {
        hosts.erase(tabID);
        removedHosts.push_back(tabID);
    }
    bool hasHost(const Uuid& tabID) const override { return hosts.count(tabID) > 0; }
    void clearLastLoadedCanonicalURL(const Uuid& tabID) override {
        if (auto it = hosts.find(tabID); it != hosts.end()) it->second.lastLoadedCanonicalURL.reset();
    }

    std::optional<std::string> cached(std::string_view pageURL) const override {
        if (QuorelleAssets::isInternalURL(pageURL)) return std::string(QuorelleAssets::logoFaviconReference);
        auto host = hostOf(pageURL);
        if (!host) return std::nullopt;
        auto it = faviconCache.find(*host);
        if (it == faviconCache.end()) return std::nullopt;
        return it->second;
    }
    void fetchFromNetwork(const std::string& pageURL, IFavicons::Completion completion) override {
        ++faviconFetches;
        auto host = hostOf(pageURL);
        if (!host) return completion(std::nullopt);
        if (auto it = faviconCache.find(*host); it != faviconCache.end()) return completion(it->second);
        pendingFavicons.push_back({pageURL, std::move(completion)});
    }
    // Delivers the oldest outstanding favicon answer.
    void answerFavicon(std::optional<std::string> favicon) {
        auto pending = std::move(pendingFavicons.front());
        pendingFavicons.erase(pendingFavicons.begin());
        pending.completion(std::move(favicon));
    }

    void applyUserAgentToAllTabs(const AppState&, bool force) override { userAgentApplications.push_back(force); }

    // Proxy tests wait until the test answers them.
    void test(const ProxyProfile& proxy, IProxyTester::Completion completion) override {
        proxyTests.push_back({proxy, std::move(completion)});
    }
    void answerProxyTest(ProxyTestOutcome outcome) {
        auto pending = std::move(proxyTests.front());
        proxyTests.erase(proxyTests.begin());
        pending.completion(std::move(outcome));
    }

    void clearWebsiteData(std::function<void()> completion) override {
        websiteDataClears.push_back(std::move(completion));
    }

    std::vector<Load> loadsFor(const Uuid& tabID) const {
        std::vector<Load> out;
        for (const auto& l : loads)
            if (l.tabID == tabID) out.push_back(l);
        return out;
    }

    std::map<Uuid, Host> hosts;
    std::vector<Load> loads;
    std::vector<Uuid> reloads;
    std::vector<Uuid> internalReloads;
    std::vector<Uuid> removedHosts;
    std::map<std::string, std::string> faviconCache;  // host -> favicon address
    std::vector<PendingFavicon> pendingFavicons;
    std::vector<bool> userAgentApplications;
    struct PendingProxyTest {
        ProxyProfile proxy;
        std::function<void(ProxyTestOutcome)> completion;
    };
    std::vector<PendingProxyTest> proxyTests;
    std::vector<std::function<void()>> websiteDataClears;
    int faviconFetches = 0;
    int skippedLoads = 0;

private:
    static std::optional<std::string> hostOf(std::string_view pageURL) {
        auto parts = UrlParts::parse(pageURL);
        if (!parts || !parts->host || parts->host->empty()) return std::nullopt;
        return parts->host;
    }
};

}  // namespace quorelle::testing
