// Where typed keys go after a menu or a panel closes, each way the user
// closes it, and after a tab is chosen: clicked and typed for real, over
// pages that report every key they hear.
#include "input/TypingTest.h"

#include "app/RootView.h"
#include "cards/NewBookmarkSheet.h"
#include "model/BrowserTab.h"
#include "window/BookmarkChip.h"
#include "window/BookmarkFolderNameDialog.h"
#include "window/BookmarkFolderMenu.h"
#include "window/BookmarksBar.h"
#include "window/Sidebar.h"

#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace quorelle::testing {
namespace {

class FocusReturnTest : public TypingTest {
protected:
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
    // A second tab, its page loaded from the omnibox.
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

TEST_F(FocusReturnTest, AFieldGivenTheKeysBackKeepsItsCaretAndSelection) {
    show(pageA);
    state->profileData.modify([](ProfileData& data) { data.settings.showBookmarksBar = true; });
    state->createBookmarkFolder("Reading");
    auto& bar = mainWindow().controls().bookmarksBar();
    ASSERT_TRUE(runUntil([&] { return !bar.folderMenus().empty(); }));
    state->showNewBookmarkSheet.set(true);
    NewBookmarkSheet* card = nullptr;
    ASSERT_TRUE(runUntil([&] {
        card = dynamic_cast<NewBookmarkSheet*>(mainWindow().rootView().presentedCard(CardLayer::newBookmark));
        return card && card->get_mapped();
    }));
    Gtk::Entry& title = card->titleField();
    click(title);
    ASSERT_TRUE(runUntil([&] { return typeText(mainWindow(), "qrst"); }));
    ASSERT_TRUE(runUntil([&] { return title.get_text() == "qrst"; })) << title.get_text();

    // A folder's menu, Rename Folder chosen there, and its dialog closed by
    // Escape: typing goes on where it stopped.
    click(*bar.folderMenus().front(), 3);
    ASSERT_TRUE(runUntil([&] { return openPopover() != nullptr; }));
    Gtk::Widget* rename = labelIn(*openPopover(), "Rename Folder");
    ASSERT_NE(rename, nullptr);
    click(*rename);
    ASSERT_TRUE(runUntil([&] { return bar.folderNameDialog() && bar.folderNameDialog()->get_mapped(); }));
    ASSERT_TRUE(runUntil([&] { return pressAccelerator(*bar.folderNameDialog(), "Escape"); }));
    ASSERT_TRUE(runUntil([&] { return !bar.showNewFolderPrompt(); }));
    settle();
    ASSERT_TRUE(runUntil([&] { return typeText(mainWindow(), "uvwx"); }));
    EXPECT_TRUE(runUntil([&] { return title.get_text() == "qrstuvwx"; })) << title.get_text();

    // A selection survives a menu opened and closed by Escape: what is
    // typed next replaces it.
    title.select_region(1, 3);
    click(*bar.folderMenus().front(), 3);
    ASSERT_TRUE(runUntil([&] { return openPopover() != nullptr; }));
    press("Escape");
    ASSERT_TRUE(runUntil([&] { return openPopover() == nullptr; }));
    ASSERT_TRUE(runUntil([&] { return typeText(mainWindow(), "y"); }));
    EXPECT_TRUE(runUntil([&] { return title.get_text() == "qytuvwx"; })) << title.get_text();
    state->showNewBookmarkSheet.set(false);
    settle();
}

}  // namespace
}  // namespace quorelle::testing
