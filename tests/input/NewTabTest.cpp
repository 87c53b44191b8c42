// Tabs the user opens with Ctrl+T, with the "+" button or from a page's
// link, pressed, typed and clicked for real: where the keyboard focus goes,
// and whether the tab strip shows the new tab.
#include "app/AppTestSupport.h"
#include "support/RealInput.h"

#include "model/BrowserTab.h"
#include "window/BrowserMenu.h"
#include "window/CreateProfileSheet.h"
#include "window/TabChip.h"

#include <graphene.h>
#include <gtk/gtk.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/label.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>

#include <algorithm>
#include <string_view>
#include <utility>

namespace quorelle::testing {
namespace {

class NewTabTest : public AppTest {
protected:
    void SetUp() override {
        // Searches go to the loopback server.
        state->profileData.modify([&](ProfileData& data) {
            data.settings.selectedSearchEngineID = "custom";
            data.settings.customSearchEngineURL = server.url("/search?q=%s");
        });
        // Results in a field, which takes the page's focus as the page
        // loads and tells the server what it holds each time that changes.
        server.addHTML("/search", "<html><head><title>Results</title></head><body style=\"margin:0\">"
                                  "<input autofocus oninput=\"fetch('/typed/' + this.value)\">"
                                  "<div style=\"height:100vh\">results</div></body></html>");
        settle();
        ASSERT_TRUE(runUntil([&] { return mainWindow().get_mapped(); }));
    }

    BrowserView& view() { return mainWindow().browserView(); }
    TabStrip& strip() { return view().tabStrip(); }
    OmniboxField& omnibox() { return view().toolbar().omnibox(); }
    AppState::TabPtr tabAt(std::size_t index) const { return state->tabs.get().at(index); }
    std::size_t tabCount() const { return state->tabs.get().size(); }
    bool activeTabShows(const std::string& url) const {
        const auto tab = state->activeTab();
        return tab && tab->urlString.get() == url;
    }

    void press(const char* accelerator) {
        ASSERT_TRUE(runUntil([&] { return pressAccelerator(mainWindow(), accelerator); })) << accelerator;
    }
    void type(std::string_view text) {
        ASSERT_TRUE(runUntil([&] { return typeText(mainWindow(), text); })) << text;
    }
    void click(Gtk::Widget& widget) {
        ASSERT_TRUE(runUntil([&] { return clickWidget(widget); }));
    }
    // Clicks a control of the strip where the user sees it: once the active
    // tab's chip, which may just have come, has its place.
    void clickOnceShown(Gtk::Widget& control) {
        ASSERT_TRUE(runUntil([&] {
            const auto tab = state->activeTab();
            TabChip* chip = tab ? strip().chipFor(tab->id()) : nullptr;
            return chip && chip->get_width() > 0;
        }));
        click(control);
    }

    // Opens the toolbar's menu with a click and clicks its item `title`.
    void chooseFromBrowserMenu(const char* title) {
        auto& menuButton = view().toolbar().browserMenuButton();
        click(menuButton);
        auto* popover = menuButton.get_popover();
        ASSERT_TRUE(runUntil([&] { return popover->get_mapped(); }));
        Gtk::Widget* item = labelIn(*popover, title);
        ASSERT_NE(item, nullptr) << title;
        ASSERT_TRUE(runUntil([&] { return item->get_width() > 0; }));
        click(*item);
        ASSERT_TRUE(runUntil([&] { return !popover->get_mapped(); })) << title;
    }
    // Clicks "+" and waits for the tab it opens, the `count`th.
    void openTabWithPlus(std::size_t count) {
        clickOnceShown(strip().newTabButton());
        ASSERT_TRUE(runUntil([&] { return tabCount() == count; }));
        settle();
    }

    // The keyboard focus is `widget` or lies inside it.
    bool focusIn(Gtk::Widget& widget) {
        auto* focus = mainWindow().get_focus();
        return focus && (focus == &widget || focus->is_ancestor(widget));
    }
    // What holds the keyboard focus, for failure messages.
    std::string focusName() {
        auto* focus = mainWindow().get_focus();
        return focus ? G_OBJECT_TYPE_NAME(focus->gobj()) + std::string(" ") + std::string(focus->get_name()) : "nothing";
    }
    // A new tab page's omnibox, ready for typing: the keyboard focus in the
    // field, its text that of the new tab page (empty), nothing suggested.
    bool omniboxReadyForTyping() {
        return focusIn(omnibox()) && omnibox().editText().empty() && state->isEditingOmnibox.get() &&
               !state->showOmniboxSuggestions.get() && !view().suggestions().isCardShown();
    }

    // The first label showing `text` inside `widget`.
    static Gtk::Widget* labelIn(Gtk::Widget& widget, const char* text) {
        if (auto* label = dynamic_cast<Gtk::Label*>(&widget); label && label->get_text() == text) return label;
        for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling())
            if (auto* found = labelIn(*child, text)) return found;
        return nullptr;
    }

    // Wholly inside the strip's visible part, once laid out (a chip just
    // added has no width until then).
    bool inView(Gtk::Widget& widget) {
        auto& scroller = strip().scroller();
        graphene_rect_t bounds{};
        if (!widget.get_mapped() || !gtk_widget_compute_bounds(widget.gobj(), GTK_WIDGET(scroller.gobj()), &bounds))
            return false;
        return bounds.size.width > 0 && bounds.origin.x >= 0 &&
               bounds.origin.x + bounds.size.width <= scroller.get_width();
    }
    // How far from the strip's left edge `widget` starts.
    double leftInStrip(Gtk::Widget& widget) {
        graphene_rect_t bounds{};
        return gtk_widget_compute_bounds(widget.gobj(), GTK_WIDGET(strip().scroller().gobj()), &bounds)
                   ? bounds.origin.x
                   : -1;
    }
    bool activeChipAndPlusInView() {
        const auto tab = state->activeTab();
        TabChip* chip = tab ? strip().chipFor(tab->id()) : nullptr;
        return chip && inView(*chip) && inView(strip().newTabButton());
    }
    // Whether the results page's field has held `text`.
    bool typedInPage(const std::string& text) const {
        const auto& paths = server.requestedPaths;
        return std::find(paths.begin(), paths.end(), "/typed/" + text) != paths.end();
    }
    // Lets the window draw a few more frames.
    void letFramesPass() {
        int frames = 0;
        mainWindow().add_tick_callback([&](const Glib::RefPtr<Gdk::FrameClock>&) { return ++frames < 5; });
        EXPECT_TRUE(runUntil([&] { return frames >= 5; }));
    }
    double stripScroll() { return strip().scroller().get_hadjustment()->get_value(); }
    // Turns the mouse wheel over the strip until it shows its start.
    void wheelStripToItsStart() {
        for (int turns = 0; stripScroll() > 0 && turns < 100; ++turns)
            ASSERT_TRUE(turnWheelSideways(strip().scroller(), -3));
        EXPECT_EQ(stripScroll(), 0);
    }
};

TEST_F(NewTabTest, TypingAfterCtrlTSearchesInTheNewTabAndLeavesTheOthersAlone) {
    const auto first = tabAt(0);
    // The window starts with the keyboard focus in its omnibox: what is
    // typed first lands there. Ctrl+T then drops it for the new tab's.
    EXPECT_TRUE(runUntil([&] { return omniboxReadyForTyping(); })) << focusName();
    type("ab");
    EXPECT_TRUE(runUntil([&] { return omnibox().editText() == "ab"; })) << omnibox().editText();
    press("<Control>t");
    ASSERT_TRUE(runUntil([&] { return tabCount() == 2u; }));
    settle();
    EXPECT_TRUE(runUntil([&] { return omniboxReadyForTyping(); }));

    type("qq zz");
    press("Return");
    EXPECT_TRUE(runUntil([&] { return activeTabShows(server.url("/search?q=qq%20zz")); }));
    ASSERT_EQ(tabCount(), 2u);
    EXPECT_EQ(tabAt(0), first);
    EXPECT_EQ(first->urlString.get(), "vx://newtab");
    EXPECT_EQ(state->activeTab(), tabAt(1));

    // Walking the focus around the window with the keyboard, either way,
    // goes from the omnibox to the page (its field holding the page's
    // focus) and back: never to a button of the toolbar, never into the tab
    // strip, never to anything inside the page but the page itself.
    auto* shown = Glib::wrap(view().tabContent().webTabView().shownView());
    ASSERT_NE(shown, nullptr);
    click(omnibox().entry());
    ASSERT_TRUE(runUntil([&] { return focusIn(omnibox()); }));
    for (const char* keys : {"<Control>Tab", "<Shift><Control>Tab"})
        for (int step = 0; step < 4; ++step) {
            const bool toPage = step % 2 == 0;
            press(keys);
            EXPECT_TRUE(runUntil([&] { return toPage ? mainWindow().get_focus() == shown : focusIn(omnibox()); }))
                << keys << " " << step << ": " << focusName();
        }

    // From the page's body too; what is typed then lands in the omnibox.
    click(*shown);
    ASSERT_TRUE(runUntil([&] { return mainWindow().get_focus() == shown; })) << focusName();
    press("<Shift><Control>Tab");
    EXPECT_TRUE(runUntil([&] { return focusIn(omnibox()); })) << focusName();
    type("words");
    EXPECT_TRUE(runUntil([&] { return omnibox().editText() == "words"; })) << omnibox().editText();
    EXPECT_FALSE(typedInPage("w"));
    EXPECT_EQ(tabCount(), 2u);
}

TEST_F(NewTabTest, ThePlusButtonClickedForRealOpensATabToTypeIntoEvenWhileTheOmniboxIsInUse) {
    const auto first = tabAt(0);
    openTabWithPlus(2);
    EXPECT_TRUE(runUntil([&] { return omniboxReadyForTyping(); }));

    // Half an address typed for the second tab, then another new tab: its
    // omnibox starts afresh, and the half-typed text goes nowhere.
    type("ab");
    ASSERT_TRUE(runUntil([&] { return omnibox().editText() == "ab" && view().suggestions().isCardShown(); }));
    // Up and Down leave the focus, the typed text and its suggestions where
    // they are, and put the caret at the text's start and end.
    press("Up");
    type("x");
    press("Down");
    type("y");
    EXPECT_TRUE(runUntil([&] { return omnibox().editText() == "xaby"; })) << omnibox().editText();
    EXPECT_TRUE(focusIn(omnibox())) << focusName();
    EXPECT_TRUE(view().suggestions().isCardShown());
    const auto second = tabAt(1);
    openTabWithPlus(3);
    EXPECT_TRUE(runUntil([&] { return omniboxReadyForTyping(); }));

    type("qq zz");
    press("Return");
    EXPECT_TRUE(runUntil([&] { return activeTabShows(server.url("/search?q=qq%20zz")); }))
        << omnibox().editText();
    ASSERT_EQ(tabCount(), 3u);
    EXPECT_EQ(tabAt(0), first);
    EXPECT_EQ(tabAt(1), second);
    for (const auto& untouched : {first, second}) EXPECT_EQ(untouched->urlString.get(), "vx://newtab");

    // "New Tab" chosen in the toolbar's menu, clicked for real, leaves the
    // focus in the new tab's omnibox too, not on the menu's button.
    chooseFromBrowserMenu("New Tab");
    ASSERT_TRUE(runUntil([&] { return tabCount() == 4u; }));
    settle();
    EXPECT_TRUE(runUntil([&] { return omniboxReadyForTyping(); }));

    // "Create Profile" chosen there over a web page: once the profile is
    // made, the omnibox shows its New Tab, not the page's address. Under a
    // window manager the menu hands the omnibox the focus as it closes,
    // while the sheet is up, which starts an edit with the page's address;
    // none runs here, so the case hands it over itself.
    type("qq zz");
    press("Return");
    ASSERT_TRUE(runUntil([&] { return activeTabShows(server.url("/search?q=qq%20zz")); }));
    chooseFromBrowserMenu("Create Profile");
    auto* sheet = mainWindow().controls().browserMenu().createProfileSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(runUntil([&] { return sheet->get_mapped(); }));
    omnibox().focus();
    ASSERT_EQ(omnibox().editText(), server.url("/search?q=qq%20zz"));
    ASSERT_TRUE(runUntil([&] { return typeText(*sheet, "Travel"); }));
    ASSERT_TRUE(runUntil([&] { return pressAccelerator(*sheet, "Return"); }));
    ASSERT_TRUE(runUntil([&] { return state->currentProfile().name == "Travel"; }));
    settle();
    EXPECT_TRUE(runUntil([&] { return tabCount() == 1u && activeTabShows("vx://newtab") && omniboxReadyForTyping(); }))
        << omnibox().editText();
}

TEST_F(NewTabTest, ANewTabShowsInAStripOfFortyScrolledToItsStart) {
    const std::string longTitle = "Page two, whose title is long enough to fill a chip";
    server.addHTML("/one", "<html><head><title>Page one</title></head><body style=\"margin:0\">"
                           "<a href=\"/two\" target=\"_blank\" style=\"display:block;height:100vh\">two</a></body></html>");
    server.addHTML("/two", "<html><head><title>" + longTitle + "</title></head><body>two</body></html>");
    state->navigateActive(server.url("/one"));
    for (int i = 1; i < 40; ++i) state->newTab();
    settle();
    const auto first = tabAt(0);
    state->selectTab(first);
    settle();
    ASSERT_TRUE(runUntil([&] { return first->title.get() == "Page one" && !first->isLoading.get(); }));
    ASSERT_TRUE(runUntil([&] { return stripScroll() == 0 && inView(*strip().chipFor(first->id())); }));

    // A link that opens its page in a new tab, clicked for real.
    auto* page = Glib::wrap(view().tabContent().webTabView().shownView());
    ASSERT_NE(page, nullptr);
    click(*page);
    ASSERT_TRUE(runUntil([&] { return tabCount() == 41u && activeTabShows(server.url("/two")); }));
    // The new tab's chip, which widens as its title arrives, and the "+"
    // after it show, and keep showing.
    const auto opened = state->activeTab();
    EXPECT_TRUE(runUntil([&] { return opened->title.get() == longTitle && activeChipAndPlusInView(); }))
        << opened->title.get();
    letFramesPass();
    EXPECT_TRUE(activeChipAndPlusInView());

    // The chip clicked at the left edge of the strip, which still shows its
    // end, stays in view as it widens when its page's title arrives. The
    // window is narrowed until the leftmost whole chip is near that edge.
    TabChip* chosen = nullptr;
    for (auto* chip : strip().chips())
        if (!chosen && inView(*chip)) chosen = chip;
    ASSERT_NE(chosen, nullptr);
    int width = 0, height = 0;
    mainWindow().get_default_size(width, height);
    mainWindow().set_default_size(width - (int(leftInStrip(*chosen)) - 4), height);
    ASSERT_TRUE(runUntil([&] { return inView(*chosen) && leftInStrip(*chosen) < 10; })) << leftInStrip(*chosen);
    const int narrow = chosen->get_width();
    click(*chosen);
    ASSERT_TRUE(runUntil([&] { return state->activeTab() == chosen->tab(); }));
    state->navigateActive(server.url("/two"));
    EXPECT_TRUE(runUntil([&] { return chosen->get_width() > narrow && inView(*chosen); }));
    letFramesPass();
    EXPECT_TRUE(inView(*chosen)) << stripScroll();

    // Ctrl+T, pressed with the focus in a page and the strip turned back to
    // its start.
    auto* secondPage = Glib::wrap(view().tabContent().webTabView().shownView());
    ASSERT_NE(secondPage, nullptr);
    click(*secondPage);
    ASSERT_TRUE(runUntil([&] { return focusIn(*secondPage); }));
    wheelStripToItsStart();
    press("<Control>t");
    ASSERT_TRUE(runUntil([&] { return tabCount() == 42u; }));
    EXPECT_TRUE(runUntil([&] { return activeChipAndPlusInView(); }));
    letFramesPass();
    EXPECT_TRUE(activeChipAndPlusInView());
    EXPECT_TRUE(focusIn(omnibox()));
}

}  // namespace
}  // namespace quorelle::testing
