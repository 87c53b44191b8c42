#include "web/BrowserIdentityManager.h"

#include "model/Text.h"
#include "state/AppState.h"
#include "web/IUserAgentView.h"

#include <glib.h>

#include <memory>

namespace quorelle {
namespace {

constexpr std::string_view kChromeMacPrefix = "Mozilla/5.0 (Macintosh; Intel Mac OS X ";
constexpr std::string_view kChromeMacSuffix =
    ") AppleWebKit/537.36 (KHTML, like Gecko) Chrome/131.0.0.0 Safari/537.36";
constexpr std::string_view kChromeIOS =
    "Mozilla/5.0 (iPhone; CPU iPhone OS 18_0 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
    "CriOS/131.0.0.0 Mobile/15E148 Safari/604.1";
constexpr std::string_view kIphoneSafari =
    "Mozilla/5.0 (iPhone; CPU iPhone OS 18_0 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
    "Version/18.0 Mobile/15E148 Safari/604.1";

// The host as the address parser gives it, or "" when the address has none
// or does not parse.
std::string hostOf(const std::string& url) {
    std::unique_ptr<GUri, decltype(&g_uri_unref)> uri(g_uri_parse(url.c_str(), G_URI_FLAGS_NONE, nullptr),
                                                     &g_uri_unref);
    if (!uri || !g_uri_get_host(uri.get())) return {};
    return g_uri_get_host(uri.get());
}

}  // namespace

std::optional<std::string> BrowserIdentityManager::userAgentString(UserAgentPreset preset,
                                                                   const std::string& custom) {
    switch (preset.value()) {
        case UserAgentPreset::default_:
            return std::nullopt;
        case UserAgentPreset::chromeMac:
            return std::string(kChromeMacPrefix) + std::string(desktopOSVersion) + std::string(kChromeMacSuffix);
        case UserAgentPreset::chromeIOS:
            return std::string(kChromeIOS);
        case UserAgentPreset::iphoneSafari:
            return std::string(kIphoneSafari);
        case UserAgentPreset::custom:
            if (custom.empty()) return std::nullopt;
            return custom;
    }
    return std::nullopt;
}

std::optional<std::string> BrowserIdentityManager::userAgentString(const UserAgentSettings& settings) {
    return userAgentString(settings.preset, settings.customValue);
}

void BrowserIdentityManager::apply(IUserAgentView& view, const UserAgentSettings& settings) {
    view.setUserAgent(userAgentString(settings));
}

void BrowserIdentityManager::applyOnHostCreation(IUserAgentView& view, const AppState& appState) {
    apply(view, appState.settings().userAgent);
}

void BrowserIdentityManager::applyToAllTabs(const AppState& appState, bool force, const ViewForTab& viewForTab) {
    const auto userAgent = userAgentString(appState.settings().userAgent);
    const auto tabs = appState.tabs.get();
    for (const auto& tab : tabs) {
        IUserAgentView* view = viewForTab(tab->id());
        if (!view) continue;
        if (!force && (tab->isLoading.get() || shouldSkipIdentityUpdate(view->currentURL()))) continue;
        view->setUserAgent(userAgent);
    }
}

void BrowserIdentityManager::applyUserAgentToAllTabs(const AppState& appState, bool force) {
    applyToAllTabs(appState, force, viewForTab_);
}

bool BrowserIdentityManager::shouldSkipIdentityUpdate(const std::optional<std::string>& url) {
    if (!url) return false;
    const std::string address = text::lowercased(*url);
    const std::string host = text::lowercased(hostOf(*url));
    for (std::string_view entry : identityProviderEntries) {
        if (text::contains(host, entry) || text::contains(address, entry)) return true;
    }
    for (std::string_view word : identityProviderWords) {
        if (text::contains(address, word)) return true;
    }
    return false;
}

}  // namespace quorelle
