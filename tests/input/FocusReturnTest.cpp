// Where typed keys go after a menu or a panel closes, each way the user
// closes it, and after a tab is chosen: clicked and typed for real, over
// pages that report every key they hear.
#include "input/TypingTest.h"

#include "model/BrowserTab.h"
#include "window/BookmarkChip.h"
#include "window/BookmarkFolderMenu.h"
#include "window/BookmarksBar.h"
#include "window/Sidebar.h"
#include "window/TabChip.h"

#include <gtk/gtk.h>
#include <gtkmm/popover.h>

#include <functional>
#include <string>

namespace quorelle::testing {
namespace {

class FocusReturnTest : public TypingTest {
protected:
    // A popover of the window on screen (a menu of the menu bar, a pull-down,
    // a context menu), if any.
    Gtk::Popover* openPopover() { return openPopoverIn(mainWindow()); }
    static Gtk::Popover* openPopoverIn(Gtk::Widget& widget) {
        if (auto* popover = dynamic_cast<Gtk::Popover*>(&widget); popover && popover->get_mapped()) return popover;
        for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling())
            if (auto* found = openPopoverIn(*child)) return found;
        return nullptr;
    }
    Gtk::Widget& menuBarItem(const char* title) {
        Gtk::Widget* item = nullptr;
        for (auto* child = mainWindow().get_first_child(); child && !item; child = child->get_next_sibling())
            if (GTK_IS_POPOVER_MENU_BAR(child->gobj())) item = labelIn(*child, title);
        EXPECT_NE(item, nullptr) << title;
        return *item;
    }
    TabChip& chipOf(const AppState::TabPtr& tab) { return *view().tabStrip().chipFor(tab->id()); }
    // Clicks the tab's chip and waits until the tab is on screen.
    void choose(const AppState::TabPtr& tab) {
        click(chipOf(tab));
        ASSERT_TRUE(runUntil([&] { return view().tabContent().tab() == tab; }));
    }

    // With the page's focus, opens a menu with `open` and closes it by
    // Escape, then by a click on the page (which the menu takes for itself):
    // each time, what is typed next reaches the page.
    void closeEachWay(const std::string& menu, const std::function<void()>& open) {
        const std::pair<const char*, std::function<void()>> ways[] = {
            {"Escape", [&] { press("Escape"); }},
            {"a click on the page", [&] { ASSERT_TRUE(runUntil([&] { return clickWidgetAt(*page(), 8, 8); })); }}};
        for (const auto& [way, close] : ways) {
            if (HasFatalFailure()) return;
            clickPage();
            open();
            ASSERT_TRUE(runUntil([&] { return openPopover() != nullptr; })) << menu;
            close();
            ASSERT_TRUE(runUntil([&] { return openPopover() == nullptr; })) << menu << ", " << way;
            ASSERT_TRUE(typedIntoPage(pageA)) << menu << " closed by " << way << " left the focus on " << focusName();
        }
    }
    Sidebar& shownSidebar() {
        auto& controls = mainWindow().controls();
        return state->settings().sidebarDock == SidebarDock::left ? controls.leftSidebar() : controls.rightSidebar();
    }
};

TEST_F(FocusReturnTest, EveryMenuClosedByEscapeOrAClickOutsideLeavesTheKeysToThePage) {
    show(pageA);
    state->profileData.modify([](ProfileData& data) { data.settings.showBookmarksBar = true; });
    state->createBookmark("Example", "https://a.example/", std::nullopt, std::nullopt);
    state->createBookmarkFolder("Reading");
    auto& bar = mainWindow().controls().bookmarksBar();
    ASSERT_TRUE(runUntil([&] { return !bar.chips().empty() && !bar.folderMenus().empty(); }));

    // One Escape leaves the menu bar, whose items would otherwise keep the
    // focus.
    for (const char* title : {"File", "Go", "Developer"})
        closeEachWay(std::string("the menu bar's ") + title, [&] { click(menuBarItem(title)); });
    closeEachWay("the browser menu", [&] { click(view().toolbar().browserMenuButton()); });
    closeEachWay("the profile menu", [&] { click(view().toolbar().profileMenuButton()); });
    closeEachWay("a bookmarks-bar folder", [&] { click(*bar.folderMenus().front()); });
    closeEachWay("a folder's menu", [&] { click(*bar.folderMenus().front(), 3); });
    closeEachWay("a bookmark chip's menu", [&] { click(*bar.chips().front(), 3); });
    closeEachWay("a tab chip's menu", [&] { click(chipOf(state->activeTab()), 3); });
    closeEachWay("the page's menu", [&] { click(*page(), 3); });
}

TEST_F(FocusReturnTest, APanelClosingGivesTheKeysBackToWhereTheyWentBeforeItOpened) {
    show(pageA);
    auto& toolbar = view().toolbar();
    Sidebar& sidebar = shownSidebar();
    // Opened from the page, closed with its × while its search field has
    // the focus.
    clickPage();
    click(toolbar.sidebarButton());
    click(sidebar.searchEntry());
    ASSERT_TRUE(runUntil([&] { return typeText(mainWindow(), "ex"); }));
    ASSERT_TRUE(runUntil([&] { return sidebar.search() == "ex"; }));
    click(sidebar.closeButton());
    ASSERT_TRUE(runUntil([&] { return !sidebar.get_mapped(); }));
    ASSERT_TRUE(typedIntoPage(pageA)) << "the focus is on " << focusName();

    // Opened while the omnibox was in use, closed with the toolbar's button.
    click(omnibox().entry());
    click(toolbar.sidebarButton());
    click(sidebar.searchEntry());
    ASSERT_TRUE(runUntil([&] { return focusIn(sidebar.searchEntry()); })) << focusName();
    click(toolbar.sidebarButton());
    ASSERT_TRUE(runUntil([&] { return !sidebar.get_mapped(); }));
    EXPECT_TRUE(typedIntoOmnibox("qq")) << "the focus is on " << focusName();

    // The omnibox's suggestions, closed by a click on the page.
    ASSERT_TRUE(runUntil([&] { return view().suggestions().isCardShown(); }));
    clickPage();
    ASSERT_TRUE(runUntil([&] { return !view().suggestions().isCardShown(); }));
    EXPECT_TRUE(typedIntoPage(pageA)) << "the focus is on " << focusName();
}

TEST_F(FocusReturnTest, AChosenTabTakesTheKeysWhereTheyLastWentInIt) {
    show(pageA);
    const auto first = state->activeTab();
    clickPage();
    // A second tab, its page loaded from the omnibox: Return leaves the
    // focus nowhere.
    press("<Control>t");
    ASSERT_TRUE(runUntil([&] { return state->tabs.get().size() == 2u; }));
    const auto second = state->activeTab();
    ASSERT_TRUE(typedIntoOmnibox(server.url(pageB)));
    press("Return");
    ASSERT_TRUE(runUntil([&] { return second->title.get() == KeyReportingPage::title(pageB) && shownPageLoaded(); }));

    // Each tab's page, clicked or not, takes the keys when its tab is chosen.
    choose(first);
    ASSERT_TRUE(typedIntoPage(pageA)) << "the focus is on " << focusName();
    choose(second);
    ASSERT_TRUE(typedIntoPage(pageB)) << "the focus is on " << focusName();

    // A tab left while the omnibox was being edited gets the omnibox back,
    // with its own address to type over.
    click(omnibox().entry());
    ASSERT_TRUE(typedIntoOmnibox("half"));
    choose(first);
    EXPECT_TRUE(typedIntoPage(pageA)) << "the focus is on " << focusName();
    choose(second);
    EXPECT_TRUE(runUntil([&] { return focusIn(omnibox()) && omnibox().editText() == server.url(pageB); }))
        << omnibox().editText() << ", the focus on " << focusName();
    EXPECT_TRUE(typedIntoOmnibox("typed"));
    EXPECT_FALSE(omnibox().editText().starts_with("http")) << omnibox().editText();

    // A tab showing a New Tab page gets the omnibox.
    clickPage();
    press("<Control>t");
    ASSERT_TRUE(runUntil([&] { return state->tabs.get().size() == 3u; }));
    const auto third = state->activeTab();
    choose(first);
    EXPECT_TRUE(typedIntoPage(pageA)) << "the focus is on " << focusName();
    choose(third);
    EXPECT_TRUE(typedIntoOmnibox("new"));

    // Chosen with a key: Ctrl+W closes the third tab and the second, left
    // from its page, takes the keys there.
    press("<Control>w");
    ASSERT_TRUE(runUntil([&] { return view().tabContent().tab() == second; }));
    EXPECT_TRUE(typedIntoPage(pageB)) << "the focus is on " << focusName();

    // A tab Ctrl+T opens on the homepage is one to type an address into too.
    state->profileData.modify([&](ProfileData& data) {
        data.settings.newTabBehavior = NewTabBehavior::homepage;
        data.settings.homepage = server.url(pageA);
    });
    press("<Control>t");
    ASSERT_TRUE(runUntil([&] { return state->tabs.get().size() == 3u && view().tabContent().tab() == state->activeTab(); }));
    EXPECT_TRUE(typedIntoOmnibox("home")) << "the focus is on " << focusName();
}

}  // namespace
}  // namespace quorelle::testing
