#include "model/BrowserSettings.h"
#include "model/JsonCodec.h"

#include <gtest/gtest.h>

using quorelle::BrowserSettings;
using quorelle::Json;
using quorelle::NewTabBehavior;
using quorelle::SearchEngine;
using quorelle::SidebarDock;
using quorelle::SidebarKind;
using quorelle::Uuid;
namespace json = quorelle::json;

namespace {

// The twelve keys that older files always carry.
Json requiredOnly() {
    Json j = quorelle::toJson(BrowserSettings::defaults());
    for (const char* key : {"flags", "lastSessionTabs", "neverSavePasswordDomains", "proxyAddonEnabled",
                            "activeProxyID", "restoreSidebarOnLaunch"})
        j.erase(key);
    return j;
}

std::optional<BrowserSettings> decode(const Json& j) { return json::decode<BrowserSettings>(j.dump()); }

Json with(Json j, const char* key, Json value) {
    j[key] = std::move(value);
    return j;
}

TEST(BrowserSettings, DefaultUsesGoogleAndShowsTheBookmarksBar) {
    const auto& d = BrowserSettings::defaults();
    EXPECT_EQ(d.homepage, "https://www.google.com");
    EXPECT_EQ(d.customSearchEngineURL, SearchEngine::google().urlTemplate);
    EXPECT_EQ(d.selectedSearchEngineID, "google");
    EXPECT_EQ(d.newTabBehavior, NewTabBehavior::newTabPage);
    EXPECT_TRUE(d.showBookmarksBar);
    EXPECT_EQ(d.sidebarKind, SidebarKind::none);
    EXPECT_EQ(d.sidebarDock, SidebarDock::left);
    EXPECT_FALSE(d.developerMode || d.advancedLogging || d.diagnosticsEnabled || d.proxyAddonEnabled ||
                 d.restoreSidebarOnLaunch);
    EXPECT_TRUE(d.flags.empty() && d.lastSessionTabs.empty() && d.neverSavePasswordDomains.empty());
    EXPECT_FALSE(d.activeProxyID);
    EXPECT_EQ(d.passwordSettings, quorelle::PasswordManagerSettings::defaults());
    EXPECT_EQ(d.userAgent, quorelle::UserAgentSettings::defaults());
}

TEST(BrowserSettings, DefaultWritesSeventeenKeysAndReadsBackEqual) {
    auto j = quorelle::toJson(BrowserSettings::defaults());
    EXPECT_EQ(j.size(), 17u);
    EXPECT_FALSE(j.contains("activeProxyID"));
    EXPECT_EQ(j["flags"], Json::object());
    EXPECT_EQ(j["newTabBehavior"], "newTabPage");
    EXPECT_EQ(json::decode<BrowserSettings>(json::dumpPretty(j)), BrowserSettings::defaults());
}

TEST(BrowserSettings, FullValueRoundTrips) {
    BrowserSettings s = BrowserSettings::defaults();
    s.newTabBehavior = NewTabBehavior::homepage;
    s.sidebarKind = SidebarKind::history;
    s.sidebarDock = SidebarDock::right;
    s.flags = {{"smoothScrolling", true}, {"tabPreview", false}};
    s.lastSessionTabs = {{Uuid::random(), "A", "https://a.example", Uuid::random()},
                         {Uuid::random(), "B", "vx://newtab", std::nullopt}};
    s.neverSavePasswordDomains = {"bank.example", "bank.example"};
    s.proxyAddonEnabled = true;
    s.activeProxyID = Uuid::random();
    s.restoreSidebarOnLaunch = true;
    auto j = quorelle::toJson(s);
    EXPECT_EQ(j.size(), 18u);
    EXPECT_EQ(j["activeProxyID"], s.activeProxyID->toString());
    EXPECT_EQ(j["sidebarDock"], "right");
    EXPECT_EQ(decode(j), s);
}

TEST(BrowserSettings, OlderFileWithOnlyRequiredKeysTakesDefaults) {
    auto j = requiredOnly();
    ASSERT_EQ(j.size(), 12u);
    j["showBookmarksBar"] = false;  // the saved values are kept, not replaced
    auto s = decode(j);
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->showBookmarksBar);
    EXPECT_TRUE(s->flags.empty());
    EXPECT_TRUE(s->lastSessionTabs.empty());
    EXPECT_TRUE(s->neverSavePasswordDomains.empty());
    EXPECT_FALSE(s->proxyAddonEnabled);
    EXPECT_FALSE(s->activeProxyID);
    EXPECT_FALSE(s->restoreSidebarOnLaunch);
}

TEST(BrowserSettings, NullOptionalKeysReadAsEmpty) {
    auto j = requiredOnly();
    for (const char* key : {"flags", "lastSessionTabs", "neverSavePasswordDomains", "proxyAddonEnabled",
                            "activeProxyID", "restoreSidebarOnLaunch"})
        j[key] = nullptr;
    auto s = decode(j);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->flags.empty());
    EXPECT_FALSE(s->activeProxyID);
}

TEST(BrowserSettings, MissingOrNullRequiredKeyFails) {
    const auto base = requiredOnly();
    for (const auto& [key, value] : base.items()) {
        auto missing = base;
        missing.erase(key);
        EXPECT_FALSE(decode(missing)) << "without " << key;
        EXPECT_FALSE(decode(with(base, key.c_str(), nullptr))) << key << " null";
    }
}

TEST(BrowserSettings, WrongTypesFailEvenForKeysWithDefaults) {
    const auto base = requiredOnly();
    EXPECT_FALSE(decode(with(base, "flags", Json::array({"a"}))));
    EXPECT_FALSE(decode(with(base, "flags", Json{{"a", 1}})));
    EXPECT_FALSE(decode(with(base, "lastSessionTabs", Json::object())));
    EXPECT_FALSE(decode(with(base, "neverSavePasswordDomains", Json::array({"a", 2}))));
    EXPECT_FALSE(decode(with(base, "proxyAddonEnabled", "true")));
    EXPECT_FALSE(decode(with(base, "activeProxyID", "proxy-1")));
    EXPECT_FALSE(decode(with(base, "restoreSidebarOnLaunch", 0)));
    EXPECT_FALSE(decode(with(base, "showBookmarksBar", "yes")));
    EXPECT_FALSE(decode(with(base, "homepage", 5)));
    EXPECT_FALSE(decode(with(base, "sidebarKind", "Bookmarks")));
    EXPECT_FALSE(decode(with(base, "sidebarDock", "top")));
    EXPECT_FALSE(decode(with(base, "newTabBehavior", "newtabpage")));
    EXPECT_FALSE(json::decode<BrowserSettings>("[]"));
    EXPECT_FALSE(json::decode<BrowserSettings>("{\"homepage\":"));
}

TEST(BrowserSettings, BadNestedRecordFailsTheWholeObject) {
    auto noAutoSignIn = requiredOnly();
    noAutoSignIn["passwordSettings"].erase("autoSignIn");
    EXPECT_FALSE(decode(noAutoSignIn));

    auto noCustomValue = requiredOnly();
    noCustomValue["userAgent"].erase("customValue");
    EXPECT_FALSE(decode(noCustomValue));

    Json goodTab{{"id", Uuid::random().toString()}, {"title", "A"}, {"urlString", "https://a.example"}};
    Json badTab{{"id", Uuid::random().toString()}, {"title", "B"}};
    EXPECT_TRUE(decode(with(requiredOnly(), "lastSessionTabs", Json::array({goodTab}))));
    EXPECT_FALSE(decode(with(requiredOnly(), "lastSessionTabs", Json::array({goodTab, badTab}))));
}

TEST(BrowserSettings, ResolvesSearchEngineById) {
    BrowserSettings s = BrowserSettings::defaults();
    s.selectedSearchEngineID = "bing";
    EXPECT_EQ(s.resolvedSearchEngine(), SearchEngine::bing());
    s.selectedSearchEngineID = "duckduckgo";
    EXPECT_EQ(s.resolvedSearchEngine(), SearchEngine::duckDuckGo());
    for (const char* id : {"BING", "Custom", "duckDuckGo", "", "ask"}) {
        s.selectedSearchEngineID = id;
        EXPECT_EQ(s.resolvedSearchEngine(), SearchEngine::google()) << id;
    }
}

TEST(BrowserSettings, CustomEngineUsesTheTemplateUnchecked) {
    BrowserSettings s = BrowserSettings::defaults();
    s.selectedSearchEngineID = "custom";
    s.customSearchEngineURL = "";
    EXPECT_EQ(s.resolvedSearchEngine(), (SearchEngine{"custom", "Custom", ""}));
    s.customSearchEngineURL = "https://search.example/?q=%s";
    EXPECT_EQ(s.resolvedSearchEngine().urlTemplate, "https://search.example/?q=%s");
}

TEST(BrowserSettingsEnums, RawValuesAreExact) {
    EXPECT_EQ(NewTabBehavior::fromRawValue("newtabpage"), std::nullopt);
    EXPECT_EQ(NewTabBehavior::fromRawValue("newTabPage"), NewTabBehavior::newTabPage);
    EXPECT_EQ(NewTabBehavior(NewTabBehavior::newTabPage).displayName(), "New Tab page");
    EXPECT_EQ(NewTabBehavior(NewTabBehavior::homepage).displayName(), "Homepage");
    ASSERT_EQ(NewTabBehavior::allCases().size(), 2u);
    EXPECT_EQ(NewTabBehavior::allCases()[1], NewTabBehavior::homepage);
    EXPECT_EQ(SidebarKind::fromRawValue("bookmarks"), SidebarKind::bookmarks);
    EXPECT_EQ(SidebarKind::fromRawValue("History"), std::nullopt);
    EXPECT_EQ(SidebarDock::allCases()[0], SidebarDock::left);
    EXPECT_EQ(SidebarDock(SidebarDock::right).rawValue(), "right");
}

}  // namespace
