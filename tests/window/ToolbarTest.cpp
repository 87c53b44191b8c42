#include "window/Toolbar.h"

#include "window/WindowTestSupport.h"

namespace quorelle::testing {
namespace {

class ToolbarTest : public WindowStateTest {
protected:
    void SetUp() override {
        WindowStateTest::SetUp();
        toolbar = std::make_unique<Toolbar>(state, bus_);
        showInWindow(*toolbar);
        web_.loads.clear();
    }
    void TearDown() override {
        if (window_) window_->unset_child();
        toolbar.reset();
    }
    AppState::TabPtr tab() const { return state->activeTab(); }
    // A disabled button takes no clicks.
    void click(Gtk::Button& button) {
        if (button.get_sensitive()) g_signal_emit_by_name(button.gobj(), "clicked");
        settle();
    }

    std::unique_ptr<Toolbar> toolbar;
};

TEST_F(ToolbarTest, RowHoldsNavigationOmniboxAndActionsInOrder) {
    std::vector<std::string> names;
    for (auto* group = toolbar->get_first_child(); group; group = group->get_next_sibling()) {
        if (group == &toolbar->omnibox()) {
            names.push_back("omnibox");
            continue;
        }
        for (auto* item = group->get_first_child(); item; item = item->get_next_sibling())
            names.push_back(item->get_name());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"toolbar-back", "toolbar-forward", "toolbar-reload", "toolbar-home",
                                               "omnibox", "toolbar-bookmark", "toolbar-profile-menu",
                                               "toolbar-sidebar", "toolbar-browser-menu"}));
    EXPECT_EQ(toolbar->profileMenuButton().get_icon_name(), "avatar-default-symbolic");
    EXPECT_EQ(toolbar->browserMenuButton().get_icon_name(), "view-more-symbolic");
    EXPECT_EQ(toolbar->sidebarButton().get_icon_name(), "sidebar-show-symbolic");
    EXPECT_EQ(toolbar->homeButton().get_icon_name(), "go-home-symbolic");
    EXPECT_TRUE(toolbar->omnibox().get_hexpand());
    EXPECT_GE(toolbar->get_height(), 48);
}

TEST_F(ToolbarTest, BackAndForwardFollowTheActiveTabAndPostItsID) {
    EXPECT_FALSE(toolbar->backButton().get_sensitive());
    EXPECT_FALSE(toolbar->forwardButton().get_sensitive());
    tab()->canGoBack.set(true);
    settle();
    EXPECT_TRUE(toolbar->backButton().get_sensitive());
    EXPECT_FALSE(toolbar->forwardButton().get_sensitive());

    click(toolbar->backButton());
    click(toolbar->forwardButton());  // disabled: posts nothing
    EXPECT_EQ(posted, (std::vector<Posting>{{TabCommand::goBack, tab()->id()}}));

    // After switching tabs the buttons and the posting follow the new tab.
    state->newTab("https://b.example");
    tab()->canGoForward.set(true);
    settle();
    EXPECT_FALSE(toolbar->backButton().get_sensitive());
    EXPECT_TRUE(toolbar->forwardButton().get_sensitive());
    click(toolbar->forwardButton());
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted.back(), (Posting{TabCommand::goForward, tab()->id()}));
}

TEST_F(ToolbarTest, WhileLoadingTheThirdButtonStopsThenReloadsWithoutACommand) {
    tab()->isLoading.set(true);
    settle();
    EXPECT_EQ(toolbar->reloadButton().get_icon_name(), "process-stop-symbolic");
    click(toolbar->reloadButton());
    EXPECT_EQ(posted, (std::vector<Posting>{{TabCommand::stop, tab()->id()}}));
    EXPECT_TRUE(web_.reloads.empty());

    tab()->isLoading.set(false);
    settle();
    EXPECT_EQ(toolbar->reloadButton().get_icon_name(), "view-refresh-symbolic");
    click(toolbar->reloadButton());
    EXPECT_EQ(posted.size(), 1u);
    EXPECT_EQ(web_.reloads, std::vector<Uuid>{tab()->id()});
}

TEST_F(ToolbarTest, WithoutAnActiveTabNothingActs) {
    state->tabs.set({});  // the window has no tab
    settle();
    EXPECT_FALSE(toolbar->backButton().get_sensitive());
    EXPECT_FALSE(toolbar->forwardButton().get_sensitive());
    EXPECT_EQ(toolbar->reloadButton().get_icon_name(), "view-refresh-symbolic");
    EXPECT_EQ(toolbar->bookmarkButton().get_icon_name(), "non-starred-symbolic");
    click(toolbar->reloadButton());
    click(toolbar->homeButton());
    EXPECT_TRUE(posted.empty());
    EXPECT_TRUE(web_.reloads.empty());
    EXPECT_TRUE(web_.loads.empty());
}

TEST_F(ToolbarTest, StarIsFilledOnlyForAnExactlyBookmarkedAddress) {
    state->navigateActive("https://example.com/page");
    settle();
    EXPECT_EQ(toolbar->bookmarkButton().get_icon_name(), "non-starred-symbolic");
    state->createBookmark("Other", "https://example.com/page/", std::nullopt, std::nullopt);
    settle();
    EXPECT_EQ(toolbar->bookmarkButton().get_icon_name(), "non-starred-symbolic");

    click(toolbar->bookmarkButton());
    EXPECT_TRUE(state->isBookmarked("https://example.com/page"));
    EXPECT_EQ(toolbar->bookmarkButton().get_icon_name(), "starred-symbolic");
    click(toolbar->bookmarkButton());
    EXPECT_EQ(toolbar->bookmarkButton().get_icon_name(), "non-starred-symbolic");
}

TEST_F(ToolbarTest, HomeOpensTheHomePageOrTheNewTabPage) {
    state->navigateActive("https://example.com");
    settle();
    click(toolbar->homeButton());
    EXPECT_EQ(tab()->urlString.get(), "vx://newtab");

    state->navigateActive("https://example.com");
    state->profileData.modify([](ProfileData& d) {
        d.settings.newTabBehavior = NewTabBehavior::homepage;
        d.settings.homepage = "https://home.example/";
    });
    settle();
    click(toolbar->homeButton());
    EXPECT_EQ(tab()->urlString.get(), "https://home.example/");

    // An empty home page is empty omnibox input: the new-tab page.
    state->profileData.modify([](ProfileData& d) { d.settings.homepage = ""; });
    click(toolbar->homeButton());
    EXPECT_EQ(tab()->urlString.get(), "vx://newtab");
}

TEST_F(ToolbarTest, SidebarToggleGoesFromAnyPanelToNoneAndFromNoneToBookmarksAndIsSaved) {
    state->setSidebar(SidebarKind::history);
    click(toolbar->sidebarButton());
    EXPECT_EQ(state->sidebarKind.get(), SidebarKind::none);
    click(toolbar->sidebarButton());
    EXPECT_EQ(state->sidebarKind.get(), SidebarKind::bookmarks);
    EXPECT_EQ(makeState()->settings().sidebarKind, SidebarKind::bookmarks);
}

TEST_F(ToolbarTest, RedrawsOnlyOnTheMainQueueAfterAnAnnouncement) {
    tab()->canGoBack.set(true);
    spin();  // the main queue of these tests runs only when drained
    EXPECT_FALSE(toolbar->backButton().get_sensitive());
    drain();
    EXPECT_TRUE(toolbar->backButton().get_sensitive());
}

TEST_F(ToolbarTest, DestroyedToolbarIgnoresLaterAnnouncements) {
    tab()->canGoBack.set(true);
    ASSERT_GT(queue_->pending(), 0u);  // a redraw waits on the queue
    window_->unset_child();
    toolbar.reset();
    tab()->isLoading.set(true);
    // The redraws find no toolbar; a touch of the freed one is caught by the
    // sanitizer build (scripts/test --sanitize).
    drain();
    EXPECT_EQ(queue_->pending(), 0u);
}

}  // namespace
}  // namespace quorelle::testing
