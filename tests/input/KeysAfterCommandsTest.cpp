// Where typed keys go after each command the user gives, pressed, clicked
// and typed for real over pages that report every key they hear: a page the
// command opened takes them, and a New Tab page leaves them in the omnibox.
#include "input/TypingTest.h"

#include "model/BrowserTab.h"
#include "window/BookmarkChip.h"
#include "window/BookmarksBar.h"

#include <functional>
#include <string>
#include <tuple>
#include <utility>

namespace quorelle::testing {
namespace {

class KeysAfterCommandsTest : public TypingTest {
protected:
    // How long a case that tries many ways waits for each way's keys.
    static constexpr int wayLimitMs = 10000;

    std::string shown() {
        const auto tab = state->activeTab();
        return tab ? tab->urlString.get() + (shownPageLoaded() ? " (loaded)" : " (loading)") : "no tab";
    }
    bool activeTabShows(const std::string& url) {
        const auto tab = state->activeTab();
        return tab && tab->urlString.get() == url && view().tabContent().tab() == tab && shownPageLoaded();
    }
    // Types `text` into the omnibox, after a click there, and presses Return.
    void submit(const std::string& text) {
        click(omnibox().entry());
        ASSERT_TRUE(runUntil([&] { return focusIn(omnibox()); })) << focusName();
        press("<Control>a");
        ASSERT_TRUE(typedIntoOmnibox(text));
        ASSERT_EQ(omnibox().editText(), text);
        press("Return");
    }
};

TEST_F(KeysAfterCommandsTest, ReturnInTheOmniboxLeavesTheKeysToThePageItOpens) {
    show(pageA);
    clickPage();
    submit(server.url(pageB));
    ASSERT_TRUE(runUntil([&] { return activeTabShows(server.url(pageB)); })) << shown();
    EXPECT_FALSE(omnibox().isFocused());
    EXPECT_TRUE(typedIntoPage(pageB)) << "a web address left the focus on " << focusName();

    // A search, on a results page that hears keys too.
    state->profileData.modify([&](ProfileData& data) {
        data.settings.selectedSearchEngineID = "custom";
        data.settings.customSearchEngineURL = server.url(std::string(pageA) + "?q=%s");
    });
    submit("qq");
    ASSERT_TRUE(runUntil([&] { return activeTabShows(server.url(std::string(pageA) + "?q=qq")); }));
    EXPECT_TRUE(typedIntoPage(pageA)) << "a search left the focus on " << focusName();

    // An internal page has the keys too; a New Tab page leaves them in the
    // omnibox.
    submit("vx://history");
    ASSERT_TRUE(runUntil([&] { return activeTabShows("vx://history"); }));
    EXPECT_TRUE(runUntil([&] { return mainWindow().get_focus() == page(); })) << focusName();
    submit("vx://newtab");
    ASSERT_TRUE(runUntil([&] { return activeTabShows("vx://newtab"); }));
    EXPECT_TRUE(typedIntoOmnibox("xy")) << "the focus is on " << focusName();
}

// The Home button and Go > Home are among every command below. Each way's
// keys are waited for ten seconds, not thirty: a fault that sends every way's
// keys astray fails the case, naming each way, well within ctest's limit.
TEST_F(KeysAfterCommandsTest, EveryWayATabTurnsIntoANewTabPageLeavesTheKeysInTheOmnibox) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Alt+Home", [&] { press("<Alt>Home"); }},
        {"Shift+Ctrl+H", [&] { press("<Shift><Control>h"); }},
        {"Ctrl+W on the only tab", [&] { press("<Control>w"); }},
        {"the only tab's close button", [&] { click(chipOf(state->activeTab()).closeButton()); }},
    };
    for (const auto& [way, command] : ways) {
        show(pageA);
        clickPage();
        command();
        ASSERT_TRUE(runUntil([&] { return activeTabShows("vx://newtab"); })) << way;
        EXPECT_TRUE(typedIntoOmnibox("xy", wayLimitMs)) << way << " left the focus on " << focusName();
    }
}

// And back: a tab that turns from a New Tab page into another page, the
// omnibox untouched, gives that page the keys; what the user has typed into
// the omnibox keeps them there.
TEST_F(KeysAfterCommandsTest, EveryWayATabLeavesANewTabPageGivesThePageTheKeys) {
    state->createBookmark("Keys B", server.url(pageB), std::nullopt, std::nullopt);
    state->profileData.modify([](ProfileData& data) { data.settings.showBookmarksBar = true; });
    auto& bar = mainWindow().controls().bookmarksBar();
    const std::tuple<const char*, const char*, std::function<void()>> ways[] = {
        {"Alt+Left", pageA, [&] { press("<Alt>Left"); }},
        {"the toolbar's Back", pageA, [&] { click(view().toolbar().backButton()); }},
        {"Ctrl+[", pageA, [&] { press("<Control>bracketleft"); }},
        {"Go > Back", pageA,
         [&] {
             click(menuBarItem("Go"));
             ASSERT_TRUE(runUntil([&] { return openPopover() != nullptr; }));
             Gtk::Widget* item = labelIn(*openPopover(), "Back");
             ASSERT_NE(item, nullptr);
             click(*item);
         }},
        {"a bookmark on the bar", pageB,
         [&] {
             ASSERT_TRUE(runUntil([&] { return bar.chips().size() == 1u; }));
             click(*bar.chips().front());
         }},
    };
    // Home from a page that has the keys, then a way out of it.
    auto leaveHome = [&](const std::function<void()>& way) {
        show(pageA);
        clickPage();
        press("<Alt>Home");
        ASSERT_TRUE(runUntil([&] { return activeTabShows("vx://newtab") && focusIn(omnibox()); })) << focusName();
        way();
    };
    for (const auto& [way, to, command] : ways) {
        SCOPED_TRACE(way);
        leaveHome(command);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(runUntil([&] { return activeTabShows(server.url(to)); })) << shown();
        EXPECT_TRUE(typedIntoPage(to, wayLimitMs)) << way << " left the focus on " << focusName();
    }

    // Typed into the omnibox first, Back leaves what is typed there to go on.
    leaveHome([&] {
        ASSERT_TRUE(typedIntoOmnibox("ke", wayLimitMs));
        press("<Alt>Left");
    });
    if (HasFatalFailure()) return;
    ASSERT_TRUE(runUntil([&] { return activeTabShows(server.url(pageA)); })) << shown();
    EXPECT_TRUE(typedIntoOmnibox("ys", wayLimitMs)) << omnibox().editText() << ", the focus on " << focusName();
    EXPECT_EQ(omnibox().editText(), "keys");
}

TEST_F(KeysAfterCommandsTest, APageChosenInTheSidebarTakesTheKeys) {
    state->createBookmark("Keys B", server.url(pageB), std::nullopt, std::nullopt);
    state->createBookmark("Keys C", server.url("/keysC"), std::nullopt, std::nullopt);
    show(pageA);
    click(view().toolbar().sidebarButton());
    Sidebar& sidebar = shownSidebar();
    click(sidebar.searchEntry());
    ASSERT_TRUE(runUntil([&] { return typeText(mainWindow(), "keysB"); }));
    ASSERT_TRUE(runUntil([&] { return sidebar.rows().size() == 1u && sidebar.list().get_first_child(); }))
        << sidebar.rows().size();
    click(*sidebar.list().get_first_child());
    ASSERT_TRUE(runUntil([&] { return activeTabShows(server.url(pageB)); })) << shown();
    EXPECT_TRUE(typedIntoPage(pageB)) << "the focus is on " << focusName();
    EXPECT_EQ(sidebar.search(), "keysB");
}

TEST_F(KeysAfterCommandsTest, AProfileSwitchedOnTheProfilesPageLeavesTheKeysInTheOmnibox) {
    state->createProfile("Travel");
    settle();
    for (int round = 0; round < 10 && !HasFailure(); ++round) {
        const std::string from = state->currentProfile().name;
        state->navigateActive("vx://profiles");
        ASSERT_TRUE(runUntil([&] { return activeTabShows("vx://profiles"); }));
        clickPage();
        // The other profile's card.
        const std::string to = from == "Travel" ? "Default" : "Travel";
        clickInPage("Array.from(document.querySelectorAll('.profile-card')).find(function(card) {"
                    " return card.querySelector('h2').firstChild.textContent.trim() == '" + to +
                    "'; }).querySelector('.btn-primary')");
        ASSERT_TRUE(runUntil([&] { return state->currentProfile().name != from && activeTabShows("vx://newtab"); }))
            << round;
        EXPECT_TRUE(typedIntoOmnibox("xy")) << round << ": the focus is on " << focusName();
    }
}

// Every command of the menu bar, the toolbar and its two menus, and a tab's
// menu, given over a page that has the keys: what the user types next lands
// somewhere, in the page or the field the command left them in.
class KeysAfterEveryCommandTest : public KeysAfterCommandsTest {
protected:
    struct Command {
        std::string name;
        std::function<void()> give;
    };

    // A page with one behind it, clicked, in the main window alone, in the
    // first profile, with nothing over it.
    void startOver() {
        for (Gtk::Window* window : Gtk::Window::list_toplevels())
            if (window != &mainWindow() && window->get_visible()) window->close();
        for (auto* flag : {&state->showNewBookmarkSheet, &state->showNewTabCustomize, &state->showShortcutsEditor})
            flag->set(false);
        state->setSidebar(SidebarKind::none, false);
        if (state->currentProfile().id != "default") state->switchProfile("default");
        ASSERT_TRUE(runUntil([&] {
            return &keyWindow() == static_cast<Gtk::Window*>(&mainWindow()) && openPopover() == nullptr;
        }));
        show(pageB);
        show(pageA);
        clickPage();
    }
    void sweep(const std::vector<Command>& commands) {
        for (const auto& [name, give] : commands) {
            SCOPED_TRACE(name);
            startOver();
            if (HasFatalFailure()) return;
            give();
            ASSERT_TRUE(runUntil([&] { return openPopover() == nullptr && shownPageLoaded(); })) << name;
            const auto landed = typedLandsIn();
            EXPECT_TRUE(landed) << name << " left the keys nowhere: the focus is on " << focusName(keyWindow());
        }
    }

    // Opens a menu with `open` and clicks its item `title`.
    void choose(const std::function<void()>& open, const char* title) {
        open();
        ASSERT_TRUE(runUntil([&] { return openPopover() != nullptr; })) << title;
        Gtk::Widget* item = labelIn(*openPopover(), title);
        ASSERT_NE(item, nullptr) << title;
        ASSERT_TRUE(runUntil([&] { return item->get_width() > 0; }));
        click(*item);
    }
    Command fromMenuBar(const char* menu, const char* title) {
        return {std::string(menu) + " > " + title, [=, this] { choose([&] { click(menuBarItem(menu)); }, title); }};
    }
    Command fromBrowserMenu(const char* title) {
        return {std::string("the browser menu's ") + title,
                [=, this] { choose([&] { click(view().toolbar().browserMenuButton()); }, title); }};
    }
    Command fromProfileMenu(const char* title) {
        return {std::string("the profile menu's ") + title,
                [=, this] { choose([&] { click(view().toolbar().profileMenuButton()); }, title); }};
    }
    Command fromTabMenu(const char* title) {
        return {std::string("the tab menu's ") + title,
                [=, this] { choose([&] { click(chipOf(state->activeTab()), 3); }, title); }};
    }
    Command clicking(const char* name, Gtk::Widget& widget) {
        return {name, [this, &widget] { click(widget); }};
    }
};

TEST_F(KeysAfterEveryCommandTest, TheMenuBarAndTheToolbar) {
    auto& toolbar = view().toolbar();
    sweep({fromMenuBar("File", "New Tab"), fromMenuBar("File", "Close Tab"), fromMenuBar("File", "Open File…"),
           fromMenuBar("Go", "Back"), fromMenuBar("Go", "Forward"), fromMenuBar("Go", "Reload"),
           fromMenuBar("Go", "Home"), fromMenuBar("Go", "Settings"),
           clicking("the toolbar's Back", toolbar.backButton()),
           {"the toolbar's Forward",
            [&] {
                click(toolbar.backButton());
                ASSERT_TRUE(runUntil([&] { return activeTabShows(server.url(pageB)); }));
                click(toolbar.forwardButton());
            }},
           clicking("the toolbar's Reload", toolbar.reloadButton()),
           clicking("the toolbar's Home", toolbar.homeButton()),
           clicking("the toolbar's bookmark star", toolbar.bookmarkButton()),
           clicking("the toolbar's sidebar button", toolbar.sidebarButton()),
           // Last: the engine's inspector, closed again as the next command
           // begins while it still connects to the page, can leave the page
           // paused in its debugger on a busy machine.
           fromMenuBar("Developer", "Inspect")});
}

TEST_F(KeysAfterEveryCommandTest, TheBrowserProfileAndTabMenus) {
    state->profileData.modify([](ProfileData& data) { data.settings.developerMode = true; });
    sweep({fromBrowserMenu("New Tab"), fromBrowserMenu("History"), fromBrowserMenu("Downloads"),
           fromBrowserMenu("Bookmarks"), fromBrowserMenu("Bookmarks Sidebar"), fromBrowserMenu("Settings"),
           fromBrowserMenu("Themes"), fromBrowserMenu("Proxy Add-on"), fromBrowserMenu("Developer Mode"),
           fromBrowserMenu("Open Guest Mode"), fromBrowserMenu("Create Profile"),
           fromProfileMenu("Manage Profiles"), fromProfileMenu("Profile Settings"), fromProfileMenu("New Profile"),
           fromProfileMenu("Open Guest Mode"), fromTabMenu("Close"), fromTabMenu("Duplicate"), fromTabMenu("Pin"),
           fromTabMenu("Reload"), fromTabMenu("New Tab to Right"), fromTabMenu("New Tab to Left")});
}

}  // namespace
}  // namespace quorelle::testing
