#include "app/AppTestSupport.h"

#include "cards/BookmarkEditSheet.h"
#include "model/BrowserTab.h"
#include "window/BookmarksBar.h"
#include "window/BrowserMenu.h"
#include "window/ProfileMenu.h"

#include <gtkmm/adjustment.h>
#include <webkit/webkit.h>

namespace quorelle::testing {
namespace {

class BrowserViewTest : public AppTest {
protected:
    BrowserView& view() { return mainWindow().browserView(); }
    AppState::TabPtr tab() const { return state->activeTab(); }
    GtkWidget* shownWebView() { return view().tabContent().webTabView().shownView(); }
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
    // The tab's own first page must not end a load the case starts by hand.
    ASSERT_TRUE(runUntil([&] { return shownPageLoaded(); }));
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

TEST_F(BrowserViewTest, SwitchingTabsShowsTheOtherTabsWebViewWithoutMovingEither) {
    ASSERT_TRUE(runUntil([&] { return shownWebView() != nullptr; }));
    GtkWidget* first = shownWebView();
    const auto firstTab = tab();
    state->newTab(std::nullopt);
    settle();
    ASSERT_NE(shownWebView(), nullptr);
    GtkWidget* second = shownWebView();
    EXPECT_NE(second, first);
    EXPECT_EQ(view().tabContent().tab(), tab());

    // Each view stays where it was put: a switch only changes which one shows.
    int moves = 0;
    auto countMove = +[](GObject*, GParamSpec*, gpointer count) { ++*static_cast<int*>(count); };
    g_signal_connect(first, "notify::parent", G_CALLBACK(countMove), &moves);
    g_signal_connect(second, "notify::parent", G_CALLBACK(countMove), &moves);
    state->selectTab(firstTab);
    settle();
    EXPECT_EQ(shownWebView(), first);  // the cached view, not a new one
    EXPECT_TRUE(gtk_widget_get_mapped(first));
    EXPECT_FALSE(gtk_widget_get_mapped(second));
    state->selectTab(state->tabs.get().back());
    settle();
    EXPECT_EQ(shownWebView(), second);
    EXPECT_EQ(moves, 0);
    g_signal_handlers_disconnect_by_data(first, &moves);
    g_signal_handlers_disconnect_by_data(second, &moves);
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

TEST_F(BrowserViewTest, TheBarsEditSheetOpensWholeAtItsOwnSize) {
    state->createBookmark("Example", "https://a.example/", std::nullopt, std::nullopt);
    settle();
    auto& bar = mainWindow().controls().bookmarksBar();
    bar.editBookmark(state->profileData.get().bookmarks.back());
    auto* window = bar.editSheet();
    ASSERT_NE(window, nullptr);
    auto* sheet = dynamic_cast<BookmarkEditSheet*>(window->get_child());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(window->get_title(), sheet->heading().get_text());
    ASSERT_TRUE(runUntil([&] { return window->get_height() > 0 && sheet->cancelButton().get_height() > 0; }));
    settle();

    // Nothing to scroll: the window is as high as the whole column.
    auto scroll = sheet->get_vadjustment();
    EXPECT_LE(scroll->get_upper(), scroll->get_page_size());
    EXPECT_EQ(sheet->get_width(), 400);
    for (Gtk::Widget* part : {static_cast<Gtk::Widget*>(&sheet->heading()), static_cast<Gtk::Widget*>(&sheet->titleField()),
                              static_cast<Gtk::Widget*>(&sheet->urlField()), static_cast<Gtk::Widget*>(&sheet->folderPicker()),
                              static_cast<Gtk::Widget*>(&sheet->customIconField()), static_cast<Gtk::Widget*>(&sheet->saveButton()),
                              static_cast<Gtk::Widget*>(&sheet->useFaviconButton()), static_cast<Gtk::Widget*>(&sheet->deleteButton()),
                              static_cast<Gtk::Widget*>(&sheet->cancelButton())}) {
        const auto b = boundsIn(*part, *window);
        EXPECT_GT(b.height, 0);
        EXPECT_GE(b.y, 0);
        EXPECT_LE(b.y + b.height, window->get_height());
    }
}

TEST_F(BrowserViewTest, OmniboxFocusIsTheLayoutsOneFlag) {
    // A window shown starts with the keyboard focus in its omnibox.
    EXPECT_TRUE(runUntil([&] { return view().omniboxFocused(); }));
    settle();
    std::vector<bool> changes;
    view().signalOmniboxFocusChanged().connect([&](bool focused) { changes.push_back(focused); });
    mainWindow().unset_focus();
    EXPECT_TRUE(runUntil([&] { return !view().omniboxFocused(); }));
    view().toolbar().omnibox().focus();
    EXPECT_TRUE(runUntil([&] { return view().omniboxFocused(); }));
    settle();
    EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

TEST_F(BrowserViewTest, ControlsAreLaidOutAtTheirFixedSizes) {
    auto& bar = view().toolbar();
    ASSERT_TRUE(runUntil([&] { return bar.get_height() > 0; }));
    EXPECT_EQ(bar.get_height(), 48);
    for (Gtk::Widget* button : {&bar.backButton(), &bar.forwardButton(), &bar.reloadButton(), &bar.homeButton()}) {
        EXPECT_EQ(button->get_width(), 32) << button->get_name();
        EXPECT_EQ(button->get_height(), 32) << button->get_name();
    }
    int minimum = 0, natural = 0, baseline = 0;
    bar.omnibox().measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, baseline, baseline);
    EXPECT_EQ(minimum, 120);
    EXPECT_EQ(view().bookmarksBarSlot().get_height(), 32);
}

TEST_F(BrowserViewTest, TheToolbarsMenuButtonsOpenThisWindowsMenus) {
    auto& bar = view().toolbar();
    GMenuModel* model = G_MENU_MODEL(bar.browserMenuButton().get_menu_model()->gobj());
    ASSERT_GT(g_menu_model_get_n_items(model), 0);
    GMenuModel* first = g_menu_model_get_item_link(model, 0, G_MENU_LINK_SECTION);
    ASSERT_NE(first, nullptr);
    gchar* label = nullptr;
    EXPECT_TRUE(g_menu_model_get_item_attribute(first, 0, G_MENU_ATTRIBUTE_LABEL, "s", &label));
    EXPECT_EQ(std::string(label ? label : ""), BrowserMenu::sections(*state).front().front().title);
    g_free(label);
    g_object_unref(first);
    EXPECT_NE(dynamic_cast<ProfileMenu*>(bar.profileMenuButton().get_popover()), nullptr);
}

}  // namespace
}  // namespace quorelle::testing
