#include "app/AppTestSupport.h"

#include "model/BrowserTab.h"

#include <webkit/webkit.h>

namespace quorelle::testing {
namespace {

class BrowserViewTest : public AppTest {
protected:
    BrowserView& view() { return mainWindow().browserView(); }
    AppState::TabPtr tab() const { return state->activeTab(); }
    GtkWidget* shownWebView() { return gtk_overlay_get_child(view().tabContent().webTabView().gobj()); }
    // What the Return key does: the entry's text part activates, and the
    // entry passes that on.
    static void pressReturn(Gtk::Entry& entry) {
        for (auto* child = entry.get_first_child(); child; child = child->get_next_sibling())
            if (GTK_IS_TEXT(child->gobj())) g_signal_emit_by_name(child->gobj(), "activate");
    }
};

TEST_F(BrowserViewTest, ReturnInTheOmniboxLoadsThePageInTheActiveTab) {
    server.addHTML("/hello", "<html><head><title>Hello from loopback</title></head><body>hi</body></html>");
    const auto active = tab();
    const auto tabs = state->tabs.get().size();
    auto& field = view().toolbar().omnibox();
    field.focus();
    settle();
    // Typed and submitted in one go: other windows on the display may take
    // the focus away in between, which ends the edit.
    field.entry().set_text(server.url("/hello"));
    pressReturn(field.entry());

    ASSERT_TRUE(runUntil([&] { return active->title.get() == "Hello from loopback" && !active->isLoading.get(); }))
        << active->urlString.get() << " | " << active->title.get();
    EXPECT_EQ(tab(), active);
    EXPECT_EQ(state->tabs.get().size(), tabs);
    EXPECT_EQ(active->urlString.get(), server.url("/hello"));
    ASSERT_NE(shownWebView(), nullptr);
    EXPECT_EQ(std::string(webkit_web_view_get_uri(WEBKIT_WEB_VIEW(shownWebView()))), server.url("/hello"));
    settle();
    EXPECT_FALSE(view().tabContent().progressBar().get_visible());
}

TEST_F(BrowserViewTest, ProgressBarRunsAlongThePageTopWhileLoading) {
    auto& bar = view().tabContent().progressBar();
    tab()->isLoading.set(true);
    tab()->loadProgress.set(0.4);
    EXPECT_FALSE(bar.get_visible());  // picked up on the main queue
    settle();
    EXPECT_TRUE(bar.get_visible());
    EXPECT_DOUBLE_EQ(bar.get_fraction(), 0.4);
    ASSERT_TRUE(runUntil([&] { return bar.get_height() > 0; }));
    const auto bounds = boundsIn(bar, view().tabContent());
    EXPECT_EQ(bounds.y, 0);
    EXPECT_EQ(bounds.height, 3);
    EXPECT_EQ(bounds.width, view().tabContent().get_width());
    tab()->isLoading.set(false);
    settle();
    EXPECT_FALSE(bar.get_visible());
}

TEST_F(BrowserViewTest, SwitchingTabsShowsTheOtherTabsWebView) {
    ASSERT_TRUE(runUntil([&] { return shownWebView() != nullptr; }));
    GtkWidget* first = shownWebView();
    const auto firstTab = tab();
    state->newTab(std::nullopt);
    settle();
    ASSERT_NE(shownWebView(), nullptr);
    EXPECT_NE(shownWebView(), first);
    EXPECT_EQ(view().tabContent().tab(), tab());

    state->selectTab(firstTab);
    settle();
    EXPECT_EQ(shownWebView(), first);  // the cached view, not a new one
}

TEST_F(BrowserViewTest, SidebarSlotFollowsTheKindAndTheDockSide) {
    auto& left = view().leftSidebarSlot();
    auto& right = view().rightSidebarSlot();
    EXPECT_FALSE(left.get_visible());
    EXPECT_FALSE(right.get_visible());

    state->setSidebar(SidebarKind::bookmarks);
    settle();
    const bool dockLeft = state->settings().sidebarDock == SidebarDock::left;
    EXPECT_EQ(left.get_visible(), dockLeft);
    EXPECT_EQ(right.get_visible(), !dockLeft);

    state->profileData.modify([](ProfileData& data) { data.settings.sidebarDock = SidebarDock::right; });
    settle();
    EXPECT_FALSE(left.get_visible());
    EXPECT_TRUE(right.get_visible());

    state->setSidebar(SidebarKind::none);
    settle();
    EXPECT_FALSE(left.get_visible());
    EXPECT_FALSE(right.get_visible());
}

TEST_F(BrowserViewTest, BookmarksBarRowFollowsItsSetting) {
    state->profileData.modify([](ProfileData& data) { data.settings.showBookmarksBar = false; });
    settle();
    EXPECT_FALSE(view().bookmarksBarSlot().get_visible());
    state->profileData.modify([](ProfileData& data) { data.settings.showBookmarksBar = true; });
    settle();
    EXPECT_TRUE(view().bookmarksBarSlot().get_visible());
}

TEST_F(BrowserViewTest, OmniboxFocusIsTheLayoutsOneFlag) {
    std::vector<bool> changes;
    view().signalOmniboxFocusChanged().connect([&](bool focused) { changes.push_back(focused); });
    EXPECT_FALSE(view().omniboxFocused());
    view().toolbar().omnibox().focus();
    EXPECT_TRUE(runUntil([&] { return view().omniboxFocused(); }));
    mainWindow().unset_focus();
    EXPECT_TRUE(runUntil([&] { return !view().omniboxFocused(); }));
    settle();
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace quorelle::testing
