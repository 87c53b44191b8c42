#include "model/BrowserSettings.h"

#include "model/JsonCodec.h"
#include "model/UrlParts.h"

namespace quorelle {
namespace {

// The secure address of the engine's host, with no path.
std::string homePageOf(const SearchEngine& engine) {
    auto parts = UrlParts::parse(engine.urlTemplate);
    if (parts && parts->host && !parts->host->empty()) return "https://" + *parts->host;
    return "https://www.google.com";
}

// Feature switches: an object of booleans; missing or null is empty.
std::map<std::string, bool> readFlags(const Json& settings) {
    const Json* object = json::present(settings, "flags");
    if (!object) return {};
    if (!object->is_object()) throw JsonDecodeError("key \"flags\": expected an object");
    std::map<std::string, bool> flags;
    for (const auto& [key, value] : object->items()) {
        if (!value.is_boolean()) throw JsonDecodeError("key \"flags\": expected true or false for \"" + key + "\"");
        flags[key] = value.get<bool>();
    }
    return flags;
}

Json flagsToJson(const std::map<std::string, bool>& flags) {
    Json object = Json::object();
    for (const auto& [key, value] : flags) object[key] = value;
    return object;
}

}  // namespace

const BrowserSettings& BrowserSettings::defaults() {
    static const BrowserSettings settings = [] {
        const SearchEngine& engine = SearchEngine::google();
        BrowserSettings s;
        s.homepage = homePageOf(engine);
        s.selectedSearchEngineID = engine.id;
        s.customSearchEngineURL = engine.urlTemplate;
        s.passwordSettings = PasswordManagerSettings::defaults();
        s.userAgent = UserAgentSettings::defaults();
        return s;
    }();
    return settings;
}

SearchEngine BrowserSettings::resolvedSearchEngine() const {
    if (selectedSearchEngineID == customSearchEngineID)
        return SearchEngine{std::string(customSearchEngineID), "Custom", customSearchEngineURL};
    for (const auto& engine : SearchEngine::builtIn())
        if (engine.id == selectedSearchEngineID) return engine;
    return SearchEngine::google();
}

void readJson(const Json& j, BrowserSettings& out) {
    BrowserSettings s;
    s.homepage = json::req<std::string>(j, "homepage");
    s.newTabBehavior = json::req<NewTabBehavior>(j, "newTabBehavior");
    s.showBookmarksBar = json::req<bool>(j, "showBookmarksBar");
    s.selectedSearchEngineID = json::req<std::string>(j, "selectedSearchEngineID");
    s.customSearchEngineURL = json::req<std::string>(j, "customSearchEngineURL");
    s.sidebarKind = json::req<SidebarKind>(j, "sidebarKind");
    s.sidebarDock = json::req<SidebarDock>(j, "sidebarDock");
    s.developerMode = json::req<bool>(j, "developerMode");
    s.advancedLogging = json::req<bool>(j, "advancedLogging");
    s.diagnosticsEnabled = json::req<bool>(j, "diagnosticsEnabled");
    s.flags = readFlags(j);
    s.passwordSettings = json::req<PasswordManagerSettings>(j, "passwordSettings");
    s.userAgent = json::req<UserAgentSettings>(j, "userAgent");
    s.lastSessionTabs = json::orDefault<std::vector<PersistedTab>>(j, "lastSessionTabs", {});
    s.neverSavePasswordDomains = json::orDefault<std::vector<std::string>>(j, "neverSavePasswordDomains", {});
    s.proxyAddonEnabled = json::orDefault(j, "proxyAddonEnabled", false);
    s.activeProxyID = json::opt<Uuid>(j, "activeProxyID");
    s.restoreSidebarOnLaunch = json::orDefault(j, "restoreSidebarOnLaunch", false);
    out = std::move(s);
}

Json toJson(const BrowserSettings& settings) {
    Json j = Json::object();
    json::put(j, "homepage", settings.homepage);
    json::put(j, "newTabBehavior", settings.newTabBehavior);
    json::put(j, "showBookmarksBar", settings.showBookmarksBar);
    json::put(j, "selectedSearchEngineID", settings.selectedSearchEngineID);
    json::put(j, "customSearchEngineURL", settings.customSearchEngineURL);
    json::put(j, "sidebarKind", settings.sidebarKind);
    json::put(j, "sidebarDock", settings.sidebarDock);
    json::put(j, "developerMode", settings.developerMode);
    json::put(j, "advancedLogging", settings.advancedLogging);
    json::put(j, "diagnosticsEnabled", settings.diagnosticsEnabled);
    j["flags"] = flagsToJson(settings.flags);
    json::put(j, "passwordSettings", settings.passwordSettings);
    json::put(j, "userAgent", settings.userAgent);
    json::put(j, "lastSessionTabs", settings.lastSessionTabs);
    json::put(j, "neverSavePasswordDomains", settings.neverSavePasswordDomains);
    json::put(j, "proxyAddonEnabled", settings.proxyAddonEnabled);
    json::putOptional(j, "activeProxyID", settings.activeProxyID);
    json::put(j, "restoreSidebarOnLaunch", settings.restoreSidebarOnLaunch);
    return j;
}

}  // namespace quorelle
