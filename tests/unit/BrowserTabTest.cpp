#include "model/BrowserTab.h"
#include "model/JsonCodec.h"
#include "model/PersistedTab.h"

#include <gtest/gtest.h>

using quorelle::BrowserTab;
using quorelle::InternalPageRoute;
using quorelle::TabLoadState;
using History = std::vector<std::string>;

namespace {

std::unique_ptr<BrowserTab> tabAt(std::string address, std::string title = "New Tab") {
    BrowserTab::Options options;
    options.urlString = std::move(address);
    options.title = std::move(title);
    return std::make_unique<BrowserTab>(options);
}

void setHistory(BrowserTab& tab, History entries, std::int64_t index) {
    tab.internalHistory.set(std::move(entries));
    tab.internalHistoryIndex.set(index);
}

TEST(BrowserTab, DefaultTabShowsTheNewTabPage) {
    BrowserTab tab;
    EXPECT_EQ(tab.title.get(), "New Tab");
    EXPECT_EQ(tab.urlString.get(), "vx://newtab");
    EXPECT_TRUE(tab.isInternal.get());
    EXPECT_EQ(tab.internalRoute.get(), InternalPageRoute::newtab);
    EXPECT_EQ(tab.faviconLetter.get(), "Q");
    EXPECT_EQ(tab.faviconURL.get(), "vx-local://QuorelleLogo");
    EXPECT_TRUE(tab.isSecure.get());
    EXPECT_FALSE(tab.isLoading.get());
    EXPECT_EQ(tab.loadProgress.get(), 0);
    EXPECT_EQ(tab.loadState.get(), TabLoadState::idle());
    EXPECT_EQ(tab.internalHistory.get(), History{"vx://newtab"});
    EXPECT_EQ(tab.internalHistoryIndex.get(), 0);
    EXPECT_EQ(tab.rootURLString(), "vx://newtab");
    EXPECT_FALSE(tab.groupID.get());
    EXPECT_NE(tab.id(), BrowserTab().id());
}

TEST(BrowserTab, WebAddressIsKeptUnchanged) {
    auto tab = tabAt("https://docs.example.org/a?b", "Docs");
    EXPECT_EQ(tab->urlString.get(), "https://docs.example.org/a?b");
    EXPECT_FALSE(tab->isInternal.get());
    EXPECT_FALSE(tab->internalRoute.get());
    EXPECT_FALSE(tab->faviconURL.get());
    EXPECT_EQ(tab->faviconLetter.get(), "D");
    EXPECT_EQ(tab->internalHistory.get(), History{"https://docs.example.org/a?b"});
}

TEST(BrowserTab, InternalStartAddressIsCanonicalised) {
    auto tab = tabAt("  VX://Settings/advanced \n");
    EXPECT_EQ(tab->urlString.get(), "vx://Settings");
    EXPECT_TRUE(tab->isInternal.get());
    EXPECT_EQ(tab->internalRoute.get(), InternalPageRoute::settings);
    EXPECT_EQ(tabAt("")->urlString.get(), "vx://newtab");
    EXPECT_EQ(tabAt("vx://nothing")->internalRoute.get(), std::nullopt);
}

TEST(BrowserTab, RecordingDropsForwardEntries) {
    BrowserTab tab;
    setHistory(tab, {"vx://newtab", "vx://history", "vx://settings"}, 1);
    tab.recordInternalNavigation("vx://downloads");
    EXPECT_EQ(tab.internalHistory.get(), (History{"vx://newtab", "vx://history", "vx://downloads"}));
    EXPECT_EQ(tab.internalHistoryIndex.get(), 2);
}

TEST(BrowserTab, RecordingComparesOnlyTheCurrentEntry) {
    BrowserTab tab;
    setHistory(tab, {"vx://newtab", "vx://history"}, 1);
    int announcements = 0;
    tab.signalObjectWillChange().connect([&] { ++announcements; });
    // Both canonicalise to the current entry.
    tab.recordInternalNavigation("VX://history/x");
    tab.recordInternalNavigation(" vx://history ");
    EXPECT_EQ(announcements, 0);
    EXPECT_EQ(tab.internalHistory.get().size(), 2u);
    // An equal entry further back does not stop the step.
    tab.recordInternalNavigation("vx://newtab");
    EXPECT_EQ(tab.internalHistory.get(), (History{"vx://newtab", "vx://history", "vx://newtab"}));
    EXPECT_EQ(tab.internalHistoryIndex.get(), 2);
    // The canonical form keeps the letters as typed, so a differently cased name is a new entry.
    tab.recordInternalNavigation("vx://NewTab");
    EXPECT_EQ(tab.internalHistory.get().back(), "vx://NewTab");
}

TEST(BrowserTab, RecordingAnnouncesAtMostThreeChanges) {
    BrowserTab tab;
    setHistory(tab, {"vx://newtab", "vx://history", "vx://settings"}, 0);
    int announcements = 0;
    tab.signalObjectWillChange().connect([&] { ++announcements; });
    tab.recordInternalNavigation("vx://about");
    EXPECT_EQ(announcements, 3);
    EXPECT_EQ(tab.internalHistory.get(), (History{"vx://newtab", "vx://about"}));
    announcements = 0;
    tab.recordInternalNavigation("vx://flags");
    EXPECT_EQ(announcements, 2);
}

TEST(BrowserTab, EveryAssignmentIsAnnouncedBeforeTheStore) {
    BrowserTab tab;
    std::vector<std::string> seen;
    tab.title.signalWillChange().connect([&] { seen.push_back(tab.title.get()); });
    tab.title.set("New Tab");  // equal value: still announced
    tab.title.set("Other");
    EXPECT_EQ(seen, (std::vector<std::string>{"New Tab", "New Tab"}));
    EXPECT_EQ(tab.title.get(), "Other");
}

TEST(BrowserTab, InternalStateAndFaviconFollowTheAddress) {
    auto tab = tabAt("vx://history", "History");
    tab->urlString.set("https://www.example.com/");
    tab->updateInternalState();
    tab->applyInternalFavicon();
    EXPECT_FALSE(tab->isInternal.get());
    EXPECT_FALSE(tab->internalRoute.get());
    EXPECT_FALSE(tab->faviconURL.get());
    EXPECT_EQ(tab->faviconLetter.get(), "W");
    EXPECT_EQ(tab->title.get(), "History");  // untouched

    tab->urlString.set("VX://about");
    tab->updateInternalState();
    tab->applyInternalFavicon();
    EXPECT_TRUE(tab->isInternal.get());
    EXPECT_EQ(tab->internalRoute.get(), InternalPageRoute::about);
    EXPECT_EQ(tab->faviconURL.get(), "vx-local://QuorelleLogo");
    EXPECT_EQ(tab->faviconLetter.get(), "Q");
}

TEST(BrowserTab, EqualityIsByIdentifierOnly) {
    const auto id = quorelle::Uuid::random();
    BrowserTab::Options a;
    a.id = id;
    a.title = "A";
    BrowserTab::Options b;
    b.id = id;
    b.urlString = "https://b.example";
    EXPECT_TRUE(BrowserTab(a) == BrowserTab(b));
    EXPECT_FALSE(BrowserTab(a) == BrowserTab());
}

TEST(TabLoadState, EqualityByCaseAndPayload) {
    EXPECT_EQ(TabLoadState::loading(0.5), TabLoadState::loading(0.5));
    EXPECT_NE(TabLoadState::loading(0.5), TabLoadState::loading(0.6));
    EXPECT_EQ(TabLoadState::failed("x"), TabLoadState::failed("x"));
    EXPECT_NE(TabLoadState::failed("x"), TabLoadState::failed("y"));
    EXPECT_NE(TabLoadState::idle(), TabLoadState::loaded());
    EXPECT_NE(TabLoadState::loading(0), TabLoadState::idle());
}

TEST(PersistedTab, JsonRoundTripAndRequiredKeys) {
    quorelle::PersistedTab tab{quorelle::Uuid::random(), "Title", "https://x.example", std::nullopt};
    auto json = quorelle::toJson(tab);
    EXPECT_FALSE(json.contains("groupID"));
    EXPECT_EQ(json["id"], tab.id.toString());
    EXPECT_EQ(quorelle::json::decode<quorelle::PersistedTab>(json.dump()), tab);

    tab.groupID = quorelle::Uuid::random();
    EXPECT_EQ(quorelle::json::decode<quorelle::PersistedTab>(quorelle::toJson(tab).dump()), tab);

    const std::string lower = quorelle::Uuid::random().toLowerString();
    auto read = quorelle::json::decode<quorelle::PersistedTab>(
        R"({"id":")" + lower + R"(","title":"t","urlString":"u","groupID":null})");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->id.toLowerString(), lower);
    EXPECT_FALSE(read->groupID);
    EXPECT_FALSE(quorelle::json::decode<quorelle::PersistedTab>(R"({"id":")" + lower + R"(","urlString":"u"})"));
    EXPECT_FALSE(quorelle::json::decode<quorelle::PersistedTab>(
        R"({"id":")" + lower + R"(","title":"t","urlString":"u","groupID":"nope"})"));
}

}  // namespace
