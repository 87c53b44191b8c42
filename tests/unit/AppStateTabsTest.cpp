#include "support/StateTestSupport.h"

namespace quorelle::testing {
namespace {

class TabsTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();
        web_.loads.clear();
    }
    std::vector<std::string> addresses() const {
        std::vector<std::string> out;
        for (const auto& t : state->tabs.get()) out.push_back(t->urlString.get());
        return out;
    }
    AppState::TabPtr tab(std::size_t i) const { return state->tabs.get().at(i); }
    std::vector<PersistedTab> savedSession() {
        return makeState()->settings().lastSessionTabs;
    }
    std::shared_ptr<AppState> state;
};

TEST_F(TabsTest, ClosingTheOnlyTabShowsTheNewTabPageAndWritesNothing) {
    state->navigateActive("https://example.com");
    drain();
    const auto before = snapshot();
    state->closeTab(tab(0));
    drain();
    ASSERT_EQ(state->tabs.get().size(), 1u);
    EXPECT_EQ(tab(0)->urlString.get(), "vx://newtab");
    EXPECT_EQ(tab(0)->title.get(), "New Tab");
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(web_.removedHosts.empty());
}

TEST_F(TabsTest, ClosingTheSelectedMiddleTabSelectsTheRightmostAndDropsItsQueuedLoad) {
    state->newTab("https://b.example");
    state->newTab("https://c.example");
    state->selectTab(tab(1));
    drain();
    web_.loads.clear();
    const auto closing = tab(1);
    // A load still queued when its tab closes never runs: it would give the
    // closed tab a web view that nothing releases.
    state->navigateActive("https://queued.example");
    state->closeTab(closing);
    drain();
    EXPECT_EQ(addresses(), (std::vector<std::string>{"vx://newtab", "https://c.example"}));
    EXPECT_EQ(state->activeTabID.get(), tab(1)->id());
    EXPECT_EQ(web_.removedHosts, std::vector<Uuid>{closing->id()});
    EXPECT_TRUE(web_.loads.empty());
    EXPECT_EQ(savedSession().size(), 2u);
}

TEST_F(TabsTest, ClosingAnUnselectedTabKeepsTheSelection) {
    state->newTab("https://b.example");
    state->newTab("https://c.example");
    state->selectTab(tab(0));
    state->closeTab(tab(2));
    EXPECT_EQ(state->activeTabID.get(), tab(0)->id());
    EXPECT_EQ(addresses(), (std::vector<std::string>{"vx://newtab", "https://b.example"}));
}

TEST_F(TabsTest, CloseInactiveTabsKeepsTheSelectedAndLoadingTabsAndReleasesTheRest) {
    state->newTab("https://pinned.example");
    state->pinTab(tab(state->tabs.get().size() - 1));
    state->newTab("https://loading.example");
    state->newTab("https://selected.example");
    auto loading = tab(2);
    loading->isLoading.set(true);
    auto pinned = tab(0);
    ASSERT_TRUE(pinned->isPinned.get());
    state->closeInactiveTabs();
    EXPECT_EQ(addresses(), (std::vector<std::string>{"https://loading.example", "https://selected.example"}));
    EXPECT_EQ(web_.removedHosts.size(), 2u);
    EXPECT_EQ(savedSession().size(), 2u);
}

// The pages that list the open tabs show the list as it is now.
TEST_F(TabsTest, ClosingTabsRefreshesAnActivePageThatCountsThem) {
    state->newTab("https://b.example");
    state->newTab("https://c.example");
    state->selectTab(tab(0));
    for (const char* page : {"vx://sessions", "vx://performance", "vx://memory"}) {
        state->navigateActive(page);
        drain();
        web_.internalReloads.clear();
        state->closeTab(tab(state->tabs.get().size() - 1));
        EXPECT_EQ(web_.internalReloads, std::vector<Uuid>{tab(0)->id()}) << page;
        state->newTab("https://d.example");
        state->selectTab(tab(0));
    }
    web_.internalReloads.clear();
    state->closeInactiveTabs();
    EXPECT_EQ(web_.internalReloads, std::vector<Uuid>{tab(0)->id()});
    // Another page is left alone.
    state->newTab("https://e.example");
    state->selectTab(tab(0));
    state->navigateActive("vx://settings");
    drain();
    web_.internalReloads.clear();
    state->closeTab(tab(1));
    EXPECT_TRUE(web_.internalReloads.empty());
}

TEST_F(TabsTest, CloseInactiveTabsWithoutASelectionDoesNothing) {
    state->newTab("https://b.example");
    state->activeTabID.set(std::nullopt);
    const auto before = snapshot();
    state->closeInactiveTabs();
    EXPECT_EQ(state->tabs.get().size(), 2u);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(TabsTest, CloseInactiveTabsOpensAFreshTabWhenNothingRemains) {
    state->activeTabID.set(Uuid::random());
    state->closeInactiveTabs();
    ASSERT_EQ(state->tabs.get().size(), 1u);
    EXPECT_EQ(tab(0)->urlString.get(), "vx://newtab");
    EXPECT_EQ(state->activeTabID.get(), tab(0)->id());
}

TEST_F(TabsTest, PinningMovesTheTabToTheFront) {
    state->newTab("https://b.example");
    state->newTab("https://c.example");
    auto c = tab(2), b = tab(1);
    state->pinTab(c);
    EXPECT_EQ(tab(0), c);
    state->pinTab(b);
    EXPECT_EQ(tab(0), b);
    EXPECT_EQ(tab(1), c);
    state->pinTab(c);
    EXPECT_FALSE(c->isPinned.get());
    EXPECT_EQ(tab(1), c);
}

TEST_F(TabsTest, AdjacentTabsGoBesideTheGivenTabAndLoadAtOnce) {
    auto first = tab(0);
    state->newTabAdjacent(first, TabAdjacentSide::left);
    EXPECT_EQ(tab(1), first);
    EXPECT_EQ(state->activeTabID.get(), tab(0)->id());
    ASSERT_EQ(web_.loads.size(), 1u);
    EXPECT_EQ(web_.loads[0].tabID, tab(0)->id());

    state->newTabAdjacent(tab(1), TabAdjacentSide::right);
    EXPECT_EQ(state->tabs.get().size(), 3u);
    EXPECT_EQ(state->activeTabID.get(), tab(2)->id());

    auto stranger = std::make_shared<BrowserTab>();
    state->newTabAdjacent(stranger, TabAdjacentSide::right);
    EXPECT_EQ(state->tabs.get().size(), 3u);
}

TEST_F(TabsTest, FreshTabsFollowTheNewTabBehaviour) {
    state->profileData.modify([](ProfileData& d) {
        d.settings.newTabBehavior = NewTabBehavior::homepage;
        d.settings.homepage = "https://home.example/";
    });
    state->newTab();
    EXPECT_EQ(tab(1)->urlString.get(), "https://home.example/");
    EXPECT_EQ(tab(1)->title.get(), "New Tab");
    state->profileData.modify([](ProfileData& d) { d.settings.newTabBehavior = NewTabBehavior::newTabPage; });
    state->newTab();
    EXPECT_EQ(tab(2)->urlString.get(), "vx://newtab");
    // No load is requested: the tab loads when its view first shows it.
    drain();
    EXPECT_TRUE(web_.loads.empty());
}

TEST_F(TabsTest, DuplicateOpensAFreshTabAtTheEnd) {
    state->newTab("https://docs.example/page");
    tab(1)->title.set("Docs");
    state->selectTab(tab(0));
    state->duplicateTab(tab(1));
    ASSERT_EQ(state->tabs.get().size(), 3u);
    EXPECT_EQ(tab(2)->urlString.get(), "https://docs.example/page");
    EXPECT_EQ(tab(2)->title.get(), "New Tab");
    EXPECT_NE(tab(2)->id(), tab(1)->id());
    EXPECT_EQ(state->omniboxText.get(), "https://docs.example/page");
}

TEST_F(TabsTest, MoveFollowsTheOffsetRule) {
    state->newTab("https://b.example");
    state->newTab("https://c.example");
    state->newTab("https://d.example");
    state->moveTab({0, 2}, 4);
    EXPECT_EQ(addresses(), (std::vector<std::string>{"https://b.example", "https://d.example", "vx://newtab",
                                                      "https://c.example"}));
    state->moveTab({3}, 0);
    EXPECT_EQ(addresses().front(), "https://c.example");
}

TEST_F(TabsTest, SessionIsSavedInStripOrder) {
    state->newTab("https://b.example");
    const auto session = savedSession();
    ASSERT_EQ(session.size(), 2u);
    EXPECT_EQ(session[0].id, tab(0)->id());
    EXPECT_EQ(session[1].urlString, "https://b.example");
    EXPECT_EQ(session[1].title, "New Tab");
}

TEST_F(TabsTest, NavigationUpdatesTheTabAndLoadsOnTheMainQueue) {
    state->navigateActive("VX://Settings");
    auto t = tab(0);
    EXPECT_EQ(t->urlString.get(), "vx://settings");
    EXPECT_EQ(t->title.get(), "Settings");
    EXPECT_TRUE(t->isInternal.get());
    EXPECT_TRUE(web_.loads.empty());
    drain();
    ASSERT_EQ(web_.loads.size(), 1u);
    EXPECT_EQ(web_.loads[0].address, "vx://settings");
    EXPECT_EQ(state->omniboxText.get(), "vx://settings");
    EXPECT_EQ(t->internalHistory.get(), (std::vector<std::string>{"vx://newtab", "vx://settings"}));

    // The same internal address renders the page again.
    state->navigateActive("vx://settings");
    drain();
    EXPECT_EQ(web_.loads.size(), 2u);

    state->navigateActive("vx://nowhere/else");
    EXPECT_EQ(t->title.get(), "Page not found");
    EXPECT_EQ(t->urlString.get(), "vx://nowhere");

    t->title.set("Old title");
    state->navigateActive("example.com");
    EXPECT_EQ(t->urlString.get(), "https://example.com");
    EXPECT_FALSE(t->isInternal.get());
    EXPECT_EQ(t->title.get(), "Old title");
    drain();
    EXPECT_EQ(web_.loads.back().address, "https://example.com");
}

TEST_F(TabsTest, SeveralQueuedNavigationsRunInOrder) {
    state->navigateActive("a.example");
    state->navigateActive("b.example");
    state->navigateActive("vx://about");
    drain();
    ASSERT_EQ(web_.loads.size(), 3u);
    EXPECT_EQ(web_.loads[0].address, "https://a.example");
    EXPECT_EQ(web_.loads[1].address, "https://b.example");
    EXPECT_EQ(web_.loads[2].address, "vx://about");
}

TEST_F(TabsTest, SearchUsesTheProfilesEngine) {
    state->profileData.modify([](ProfileData& d) { d.settings.selectedSearchEngineID = "duckduckgo"; });
    state->navigateActive("AT&T");
    EXPECT_EQ(tab(0)->urlString.get(), "https://duckduckgo.com/?q=AT%26T");

    // A custom template that is no absolute address gives no search: the
    // typed text itself is the tab's address, and the omnibox keeps it.
    for (const char* custom : {"", "search?q=%s"}) {
        state->profileData.modify([&](ProfileData& d) {
            d.settings.selectedSearchEngineID = "custom";
            d.settings.customSearchEngineURL = custom;
        });
        state->navigateActive("cats and dogs");
        drain();
        EXPECT_EQ(tab(0)->urlString.get(), "cats and dogs") << custom;
        EXPECT_EQ(state->omniboxText.get(), "cats and dogs") << custom;
    }
}

TEST_F(TabsTest, GuestWindowRefusesTheHistoryPage) {
    auto guest = makeState(true);
    drain();
    web_.loads.clear();
    auto t = guest->tabs.get().front();
    guest->beginOmniboxEditing();
    guest->omniboxText.set("vx://history");
    guest->handleOmniboxSubmit("vx://history");
    drain();
    EXPECT_EQ(guest->toastMessage.get(), "History is not available in Guest mode");
    EXPECT_EQ(t->urlString.get(), "vx://newtab");
    EXPECT_EQ(guest->omniboxText.get(), "vx://history");  // not refreshed
    EXPECT_TRUE(web_.loads.empty());
    guest->navigateActive("vx://bookmarks");
    drain();
    EXPECT_EQ(t->urlString.get(), "vx://bookmarks");
}

TEST_F(TabsTest, OmniboxEditingFlow) {
    state->navigateActive("https://example.com/x");
    drain();
    state->beginOmniboxEditing();
    EXPECT_TRUE(state->isEditingOmnibox.get());
    EXPECT_EQ(state->omniboxText.get(), "https://example.com/x");
    state->omniboxText.set("typed but not submitted");
    state->showOmniboxSuggestions.set(true);
    state->syncOmniboxFromTab();
    EXPECT_EQ(state->omniboxText.get(), "typed but not submitted");
    state->endOmniboxEditing();
    EXPECT_FALSE(state->showOmniboxSuggestions.get());
    EXPECT_EQ(state->omniboxText.get(), "https://example.com/x");

    state->beginOmniboxEditing();
    state->newTab("https://other.example");
    EXPECT_EQ(state->omniboxText.get(), "https://example.com/x");  // editing blocks the refresh
    state->selectTab(tab(1));
    EXPECT_FALSE(state->isEditingOmnibox.get());
    EXPECT_EQ(state->omniboxText.get(), "https://other.example");

    state->beginOmniboxEditing();
    state->showOmniboxSuggestions.set(true);
    state->handleOmniboxSubmit("vx://downloads");
    EXPECT_FALSE(state->isEditingOmnibox.get());
    EXPECT_FALSE(state->showOmniboxSuggestions.get());
    drain();
    EXPECT_EQ(state->omniboxText.get(), "vx://downloads");
}

TEST_F(TabsTest, SidebarRememberedOnlyWhenAsked) {
    state->setSidebar(SidebarKind::history, false);
    EXPECT_EQ(state->sidebarKind.get(), SidebarKind::history);
    EXPECT_EQ(makeState()->settings().sidebarKind, SidebarKind::none);
    state->setSidebar(SidebarKind::bookmarks);
    EXPECT_EQ(makeState()->settings().sidebarKind, SidebarKind::bookmarks);
}

}  // namespace
}  // namespace quorelle::testing
