#include "support/StateTestSupport.h"

namespace quorelle::testing {
namespace {

class TabGroupsTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();
    }
    const std::vector<TabGroup>& groups() const { return state->profileData.get().tabGroups; }
    std::shared_ptr<AppState> state;
};

TEST_F(TabGroupsTest, NewGroupHoldsTheActiveTabAndIsSaved) {
    auto tab = state->activeTab();
    state->createTabGroup("Research", TabGroupColor::purple);
    ASSERT_EQ(groups().size(), 1u);
    const TabGroup& group = groups().front();
    EXPECT_EQ(group.name, "Research");
    EXPECT_EQ(group.color, TabGroupColor::purple);
    EXPECT_EQ(group.tabIDs, std::vector<Uuid>{tab->id()});
    EXPECT_FALSE(group.isCollapsed);
    EXPECT_EQ(tab->groupID.get(), group.id);
    EXPECT_EQ(makeState()->profileData.get().tabGroups, groups());
}

TEST_F(TabGroupsTest, TabMovedToASecondGroupStaysListedInTheFirst) {
    auto tab = state->activeTab();
    state->createTabGroup("One", TabGroupColor::red);
    state->createTabGroup("", TabGroupColor::gray);
    ASSERT_EQ(groups().size(), 2u);
    EXPECT_EQ(groups()[0].tabIDs, std::vector<Uuid>{tab->id()});
    EXPECT_EQ(groups()[1].name, "");
    EXPECT_EQ(tab->groupID.get(), groups()[1].id);
}

TEST_F(TabGroupsTest, GroupWithoutAnActiveTabIsEmptyAndStillSaved) {
    state->tabs.set({});
    state->activeTabID.set(std::nullopt);
    state->createTabGroup("Later", TabGroupColor::cyan);
    ASSERT_EQ(groups().size(), 1u);
    EXPECT_TRUE(groups().front().tabIDs.empty());
    EXPECT_EQ(makeState()->profileData.get().tabGroups.size(), 1u);
}

TEST_F(TabGroupsTest, GuestWindowGroupsStayInMemory) {
    auto guest = makeState(true);
    const auto before = snapshot();
    guest->createTabGroup("Guest", TabGroupColor::blue);
    EXPECT_EQ(guest->profileData.get().tabGroups.size(), 1u);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(TabGroupsTest, ClearingWebsiteDataAnswersOnceOnALaterTurn) {
    int calls = 0;
    state->clearWebsiteData([&calls] { ++calls; });
    ASSERT_EQ(web_.websiteDataClears.size(), 1u);
    web_.websiteDataClears.front()();  // the engine finished (nothing was stored)
    EXPECT_EQ(calls, 0);
    drain();
    EXPECT_EQ(calls, 1);
    drain();
    EXPECT_EQ(calls, 1);
}

TEST_F(TabGroupsTest, ClearingFromAGuestWindowClearsTheSharedStoreToo) {
    auto guest = makeState(true);
    bool done = false;
    guest->clearWebsiteData([&done] { done = true; });
    ASSERT_EQ(web_.websiteDataClears.size(), 1u);
    web_.websiteDataClears.front()();
    drain();
    EXPECT_TRUE(done);
}

TEST_F(TabGroupsTest, GuestWindowsGetInMemoryStoresAndNormalOnesTheSharedStore) {
    EXPECT_EQ(state->dataStoreForCurrentProfile(), WebsiteDataStoreKind::defaultPersistent);
    EXPECT_EQ(makeState(true)->dataStoreForCurrentProfile(), WebsiteDataStoreKind::nonPersistent);
    EXPECT_EQ(AppState::guestDataStore(), WebsiteDataStoreKind::nonPersistent);
}

}  // namespace
}  // namespace quorelle::testing
