#include "support/StateTestSupport.h"

namespace quorelle::testing {
namespace {

class ShortcutsTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();  // the new-tab page is loaded and in front
        web_.internalReloads.clear();
    }
    ShortcutItem shortcut(std::string url, std::int64_t sortOrder = 0) {
        ShortcutItem s;
        s.id = Uuid::random();
        s.title = "T";
        s.url = std::move(url);
        s.sortOrder = sortOrder;
        return s;
    }
    const std::vector<ShortcutItem>& stored() const { return state->profileData.get().shortcuts; }
    std::vector<ShortcutItem> onDisk() { return makeState()->profileData.get().shortcuts; }
    std::shared_ptr<AppState> state;
};

TEST_F(ShortcutsTest, NewShortcutGetsItsFaviconWhenTheFetchAnswers) {
    auto s = shortcut("https://news.example/today");
    state->updateShortcut(s);
    EXPECT_EQ(stored().back().id, s.id);
    EXPECT_FALSE(stored().back().faviconURL);
    EXPECT_EQ(web_.internalReloads.size(), 1u);
    ASSERT_EQ(web_.pendingFavicons.size(), 1u);
    web_.answerFavicon("https://news.example/favicon.ico");
    EXPECT_EQ(stored().back().faviconURL, "https://news.example/favicon.ico");
    EXPECT_EQ(onDisk().back().faviconURL, "https://news.example/favicon.ico");
    EXPECT_EQ(web_.internalReloads.size(), 2u);
}

TEST_F(ShortcutsTest, CachedFaviconIsStoredAtOnceWithOneReload) {
    web_.faviconCache["news.example"] = "https://news.example/icon.png";
    auto s = shortcut("https://news.example/");
    state->updateShortcut(s);
    EXPECT_EQ(stored().back().faviconURL, "https://news.example/icon.png");
    EXPECT_EQ(web_.internalReloads.size(), 1u);
    EXPECT_EQ(web_.faviconFetches, 1);
}

TEST_F(ShortcutsTest, InternalAddressesAndKnownFaviconsStartNoFetch) {
    state->updateShortcut(shortcut("VX://settings"));
    auto withIcon = shortcut("https://a.example");
    withIcon.faviconURL = "https://a.example/mine.png";
    state->updateShortcut(withIcon);
    EXPECT_EQ(web_.faviconFetches, 0);
    EXPECT_EQ(stored().back().faviconURL, "https://a.example/mine.png");
}

TEST_F(ShortcutsTest, SavingAnExistingShortcutReplacesItInPlace) {
    auto first = stored().front();
    first.title = "Renamed";
    first.sortOrder = 42;
    first.faviconURL = "x";
    const auto count = stored().size();
    state->updateShortcut(first);
    EXPECT_EQ(stored().size(), count);
    EXPECT_EQ(stored().front().title, "Renamed");
    EXPECT_EQ(stored().front().sortOrder, 42);
    EXPECT_EQ(onDisk().front().title, "Renamed");
}

TEST_F(ShortcutsTest, LateFaviconForADeletedShortcutChangesNothing) {
    auto s = shortcut("https://late.example");
    state->updateShortcut(s);
    state->deleteShortcut(s);
    web_.internalReloads.clear();
    web_.answerFavicon("https://late.example/favicon.ico");
    for (const auto& item : stored()) EXPECT_NE(item.id, s.id);
    EXPECT_TRUE(web_.internalReloads.empty());
}

TEST_F(ShortcutsTest, LateFaviconDoesNotLandInAnotherProfile) {
    auto s = shortcut("https://late.example");
    state->updateShortcut(s);
    // The same shortcut id in a different current profile (as once happened
    // when profiles shared default shortcut ids).
    state->appSettings.modify([](AppSettings& a) {
        BrowserProfile other;
        other.id = "other";
        other.name = "Other";
        a.profiles.push_back(other);
        a.selectedStartupProfileID = "other";
        a.currentProfileID = "other";
    });
    web_.answerFavicon("https://late.example/favicon.ico");
    EXPECT_FALSE(stored().back().faviconURL);
}

TEST_F(ShortcutsTest, DuplicateTakesTheNextSortOrder) {
    state->profileData.modify([](ProfileData& d) { d.shortcuts.clear(); });
    auto s = shortcut("https://a.example", 7);
    state->duplicateShortcut(s);
    ASSERT_EQ(stored().size(), 1u);
    EXPECT_EQ(stored()[0].sortOrder, 1);
    EXPECT_NE(stored()[0].id, s.id);

    state->resetShortcutsToDefault();
    state->duplicateShortcut(stored()[2]);
    EXPECT_EQ(stored().back().sortOrder, 6);

    auto huge = shortcut("https://b.example", std::numeric_limits<std::int64_t>::max());
    state->profileData.modify([&](ProfileData& d) { d.shortcuts.push_back(huge); });
    state->duplicateShortcut(huge);
    EXPECT_EQ(stored().back().sortOrder, std::numeric_limits<std::int64_t>::max());
}

TEST_F(ShortcutsTest, DeletingAStoredEntryRemovesOnlyItsOwnId) {
    auto twin = shortcut("https://twin.example");
    state->profileData.modify([&](ProfileData& d) {
        d.shortcuts = {shortcut("https://a.example"), shortcut("https://b.example"), twin, twin};
    });
    state->deleteShortcut(stored()[1]);
    ASSERT_EQ(stored().size(), 3u);
    EXPECT_EQ(stored()[1].id, twin.id);
    EXPECT_EQ(stored()[2].id, twin.id);
}

TEST_F(ShortcutsTest, ResetGivesFreshDefaults) {
    const auto before = stored();
    state->updateShortcut(shortcut("https://custom.example"));
    state->resetShortcutsToDefault();
    ASSERT_EQ(stored().size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_NE(stored()[i].id, before[i].id);
        EXPECT_EQ(stored()[i].url, before[i].url);
    }
}

TEST_F(ShortcutsTest, OnlyTheActiveTabShowingTheRouteIsReloaded) {
    state->newTab();  // a second new-tab page, now active
    drain();
    web_.navigate(state->activeTab(), "vx://newtab", *state, false);
    web_.internalReloads.clear();
    state->reloadNewTabIfActive();
    EXPECT_EQ(web_.internalReloads, std::vector<Uuid>{state->activeTab()->id()});

    state->navigateActive("vx://history");
    drain();
    web_.internalReloads.clear();
    state->reloadBookmarksPageIfActive();
    EXPECT_TRUE(web_.internalReloads.empty());
    state->reloadHistoryPageIfActive();
    EXPECT_EQ(web_.internalReloads.size(), 1u);
}

}  // namespace
}  // namespace quorelle::testing
