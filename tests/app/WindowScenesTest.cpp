#include "app/AppTestSupport.h"
#include "support/RealInput.h"
#include "support/SteppingPage.h"

#include <gtkmm/headerbar.h>

namespace quorelle::testing {
namespace {

using WindowScenesTest = AppTest;

std::vector<std::string> overlayLayerNames(Gtk::Widget& overlay) {
    std::vector<std::string> names;
    for (auto* child = overlay.get_first_child(); child; child = child->get_next_sibling())
        names.push_back(child->get_name());
    return names;
}

TEST_F(WindowScenesTest, MainWindowShowsTheMainStateAtItsMinimumSize) {
    ASSERT_NE(app->mainWindow(), nullptr);
    auto& window = mainWindow();
    EXPECT_TRUE(window.get_visible());
    EXPECT_EQ(window.appState(), state);
    EXPECT_EQ(window.get_title(), "Quorelle");
    int width = 0, height = 0;
    window.get_size_request(width, height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_GE(window.get_width(), 800);
    EXPECT_GE(window.get_height(), 600);
    EXPECT_FALSE(window.rootView().guestBadge().get_visible());
    EXPECT_EQ(app->guestWindow(), nullptr);  // made only when first opened, with its state
    EXPECT_EQ(guestStatesMade, 0);
}

TEST_F(WindowScenesTest, RootViewStacksLayoutCardsBadgeAndToastInOrder) {
    EXPECT_EQ(overlayLayerNames(mainWindow().rootView()),
              (std::vector<std::string>{"browser-view", "card-slot-password-save-prompt",
                                        "card-slot-password-update-prompt", "card-slot-new-tab-customize",
                                        "card-slot-shortcut-editor", "card-slot-new-bookmark",
                                        "card-slot-bookmark-edit", "card-slot-inspector-panel", "guest-badge",
                                        "toast"}));
}

TEST_F(WindowScenesTest, GuestWindowOpensOnceAt900By700WithTheGuestState) {
    app->activate_action(QuorelleApplication::openGuestAction);
    settle();
    BrowserWindow* guest = app->guestWindow();
    ASSERT_NE(guest, nullptr);
    EXPECT_EQ(guest->get_name(), "guest-window");
    EXPECT_EQ(guest->get_title(), "Guest");
    EXPECT_EQ(guest->appState(), guestState);
    EXPECT_TRUE(guest->appState()->isGuestWindow());
    int width = 0, height = 0;
    guest->get_default_size(width, height);
    EXPECT_EQ(width, 900);
    EXPECT_EQ(height, 700);
    guest->get_size_request(width, height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_TRUE(guest->get_hide_on_close());
    EXPECT_TRUE(guest->rootView().guestBadge().get_visible());

    // Closing only hides it; opening again brings back the same window and state.
    const auto tabs = guestState->tabs.get().size();
    guestState->newTab(std::nullopt);
    guest->close();
    settle();
    EXPECT_FALSE(guest->get_visible());
    app->activate_action(QuorelleApplication::openGuestAction);
    settle();
    EXPECT_EQ(app->guestWindow(), guest);
    EXPECT_TRUE(guest->get_visible());
    EXPECT_EQ(guestState->tabs.get().size(), tabs + 1);
    EXPECT_EQ(guestStatesMade, 1);
}

// The title bar's own button with the style class `name` ("close", "maximize").
Gtk::Widget* titleBarButton(BrowserWindow& window, const char* name) {
    std::vector<Gtk::Widget*> pending{window.get_titlebar()};
    while (!pending.empty()) {
        Gtk::Widget* widget = pending.back();
        pending.pop_back();
        if (GTK_IS_BUTTON(widget->gobj()) && widget->has_css_class(name)) return widget;
        for (auto* child = widget->get_first_child(); child; child = child->get_next_sibling()) pending.push_back(child);
    }
    return nullptr;
}

// Closing hides the guest window and takes it out of the application; once
// back, its title bar must work as it did the first time.
TEST_F(WindowScenesTest, TheReopenedGuestWindowClosesFromItsTitleBar) {
    BrowserWindow& guest = app->openGuestWindow();
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(runUntil([&] { return guest.get_mapped() && guest.get_width() > 0; })) << round;
        for (const char* name : {"minimize", "maximize"}) {
            ASSERT_NE(titleBarButton(guest, name), nullptr) << name;
            EXPECT_TRUE(titleBarButton(guest, name)->is_sensitive()) << name << " in round " << round;
        }
        Gtk::Widget* close = titleBarButton(guest, "close");
        ASSERT_NE(close, nullptr);
        ASSERT_TRUE(clickWidget(*close));
        ASSERT_TRUE(runUntil([&] { return !guest.get_visible(); })) << "round " << round;
        app->activate_action(QuorelleApplication::openGuestAction);
    }
}

// The web view of `state`'s active tab once its page has stepped.
WebKitWebView* steppedView(TabWebViewStore& webViews, AppState& state) {
    auto tab = state.activeTab();
    auto* host = tab ? webViews.host(tab->id()) : nullptr;
    return host && hasStepped(webkit_web_view_get_uri(host->webView())) ? host->webView() : nullptr;
}

// A toast up in the guest window goes with it, its clearing too: nothing of
// it is left waiting in the main loop. So do the pages of both windows, the
// guest's as its window goes, the main window's as the run ends, even pages
// that keep adding entries to their history: run on in a view outside any
// window, the next entry ended the browser with a crash.
TEST_F(WindowScenesTest, ClosingTheMainWindowTakesTheGuestWindowAlong) {
    server.addHTML("/ticking", steppingPage);
    app->openGuestWindow();
    settle();
    ASSERT_NE(app->guestWindow(), nullptr);
    state->navigateActive(server.url("/ticking"));
    guestState->navigateActive(server.url("/ticking"));
    WebKitWebView* mainView = nullptr;
    WebKitWebView* guestView = nullptr;
    ASSERT_TRUE(runUntil([&] {
        return (mainView = steppedView(*webStore, *state)) && (guestView = steppedView(*webStore, *guestState));
    }));
    const GWeakPtr<WebKitWebView> mainPage(mainView), guestPage(guestView);
    guestState->toastMessage.set("Website data cleared");
    queue.drain();  // shown, with its clearing, however slow the machine
    EXPECT_EQ(app->guestWindow()->rootView().pendingToastClearings(), 1u);
    mainWindow().close();
    settle();
    EXPECT_EQ(app->guestWindow(), nullptr);
    EXPECT_TRUE(app->get_windows().empty());
    EXPECT_TRUE(runUntil([&] { return !guestPage.get(); }));
    endRun();
    EXPECT_TRUE(runUntil([&] { return !mainPage.get(); }));
}

TEST_F(WindowScenesTest, TitleBarShowsNoTitleAndKeepsItsButtonsWhateverChangesThem) {
    auto& window = mainWindow();
    auto* bar = dynamic_cast<Gtk::HeaderBar*>(window.get_titlebar());
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(bar->get_title_widget(), nullptr);
    EXPECT_EQ(bar->get_title_widget()->get_first_child(), nullptr);  // no title text
    EXPECT_TRUE(bar->get_show_title_buttons());
    EXPECT_EQ(bar->get_decoration_layout(), ":minimize,maximize,close");

    bar->set_show_title_buttons(false);
    bar->set_decoration_layout("menu:");
    window.set_resizable(false);
    window.set_deletable(false);
    settle();
    EXPECT_TRUE(bar->get_show_title_buttons());
    EXPECT_EQ(bar->get_decoration_layout(), ":minimize,maximize,close");
    EXPECT_TRUE(window.get_resizable());
    EXPECT_TRUE(window.get_deletable());
}

}  // namespace
}  // namespace quorelle::testing
