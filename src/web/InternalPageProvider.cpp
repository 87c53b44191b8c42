#include "web/InternalPageProvider.h"

#include "state/AppState.h"
#include "state/IFavicons.h"
#include "store/DataStore.h"
#include "web/BridgeToken.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPageRenderer.h"
#include "web/PageMarkup.h"

namespace quorelle {

std::string InternalPageProvider::appVersion() {
#ifdef QUORELLE_VERSION
    return QUORELLE_VERSION;
#else
    return std::string(InternalPageContext::fallbackVersion);
#endif
}

std::string InternalPageProvider::appBuild() {
#ifdef QUORELLE_BUILD
    return QUORELLE_BUILD;
#else
    return std::string(InternalPageContext::fallbackBuild);
#endif
}

InternalPageContext InternalPageProvider::context(const AppState& appState, InternalPageRoute route) {
    InternalPageContext context;
    context.version = appVersion();
    context.build = appBuild();
    context.route = route;
    context.profileData = appState.profileData.get();
    context.appSettings = appState.appSettings.get();
    context.currentProfile = appState.currentProfile();
    context.tabs = appState.tabs.get();
    context.activeTab = appState.activeTab();
    context.platform = "Linux";
    context.dataPath = appState.store().rootURL();
    context.proxyTestResult = appState.proxyTestResult.get();
    context.proxyTestError = appState.proxyTestError.get();
    context.bridgeToken = BridgeToken::generate();
    // The context lives only for the render, inside the state's lifetime.
    IFavicons& favicons = appState.favicons();
    context.cachedFavicon = [&favicons](const std::string& pageURL) { return favicons.cached(pageURL); };
    DataStore& store = appState.store();
    context.loadProfileData = [&store](const std::string& profileID) { return store.loadProfileData(profileID); };
    return context;
}

std::optional<RenderedPage> InternalPageProvider::html(std::string_view address, const AppState& appState) {
    const auto route = InternalPageRoute::from(address);
    if (!route) return std::nullopt;
    InternalPageContext pageContext = context(appState, *route);
    std::string document = InternalPageRenderer::html(*route, pageContext);
    return RenderedPage{std::move(document), std::move(pageContext.bridgeToken)};
}

RenderedPage InternalPageProvider::notFoundHTML(std::string_view address, const AppState& appState) {
    std::string description = "No internal page at ";
    description += address;
    const std::string body = PageMarkup::page(
        "Page not found", description,
        "<div class=\"btn-row\">" + PageMarkup::button("btn btn-primary", "vxNavigate('vx://newtab')", "New Tab") +
            PageMarkup::button("btn btn-secondary", "vxNavigate('vx://settings')", "Settings") + "</div>");
    std::string token = BridgeToken::generate();
    std::string document = InternalHTMLStyles::wrap("Not Found", body, appState.theme(), "", token);
    return RenderedPage{std::move(document), std::move(token)};
}

}  // namespace quorelle
