#include "window/BrowserMenu.h"
#include "window/ChromeStyle.h"

#include "window/CreateProfileSheet.h"
#include "window/WindowTestSupport.h"

#include <gio/gio.h>
#include <giomm/simpleactiongroup.h>
#include <gtk/gtk.h>
#include <gtkmm/text.h>

#include <algorithm>

namespace quorelle::testing {
namespace {

// What one menu line shows: its label, action and icon.
struct Line {
    std::string title;
    std::string action;
    std::string icon;
    friend bool operator==(const Line&, const Line&) = default;
};
using Listing = std::vector<std::vector<Line>>;

std::string stringAttribute(GMenuModel* model, int index, const char* name) {
    gchar* value = nullptr;
    if (!g_menu_model_get_item_attribute(model, index, name, "s", &value)) return {};
    std::string result = value;
    g_free(value);
    return result;
}

std::string iconName(GMenuModel* model, int index) {
    GVariant* serialized = g_menu_model_get_item_attribute_value(model, index, G_MENU_ATTRIBUTE_ICON, nullptr);
    if (!serialized) return {};
    GIcon* icon = g_icon_deserialize(serialized);
    g_variant_unref(serialized);
    std::string name;
    if (icon && G_IS_THEMED_ICON(icon)) name = g_themed_icon_get_names(G_THEMED_ICON(icon))[0];
    if (icon) g_object_unref(icon);
    return name;
}

// Each section is a group of lines; the menu draws a line between groups.
Listing listing(const Glib::RefPtr<Gio::MenuModel>& model) {
    Listing result;
    GMenuModel* top = model->gobj();
    for (int i = 0; i < g_menu_model_get_n_items(top); ++i) {
        GMenuModel* section = g_menu_model_get_item_link(top, i, G_MENU_LINK_SECTION);
        std::vector<Line> lines;
        for (int j = 0; section && j < g_menu_model_get_n_items(section); ++j)
            lines.push_back({stringAttribute(section, j, G_MENU_ATTRIBUTE_LABEL),
                             stringAttribute(section, j, G_MENU_ATTRIBUTE_ACTION), iconName(section, j)});
        if (section) g_object_unref(section);
        result.push_back(std::move(lines));
    }
    return result;
}

std::vector<std::string> titles(const Listing& listed) {
    std::vector<std::string> result;
    for (const auto& section : listed) {
        if (!result.empty()) result.push_back("--");
        for (const auto& line : section) result.push_back(line.title);
    }
    return result;
}

class BrowserMenuTest : public WindowTest {
protected:
    void open(bool guestWindow = false) {
        state = makeState(guestWindow);
        drain();
        button = std::make_unique<Gtk::MenuButton>();
        menu = std::make_unique<BrowserMenu>(state, *button);
        showInWindow(*button).set_hide_on_close(true);
        countGuestWindowRequests();
        web_.loads.clear();
    }
    void TearDown() override {
        menu.reset();
        if (window_) window_->unset_child();
        button.reset();
    }
    // Activates a menu line the way its item does: through the button.
    void choose(const std::string& action) {
        button->activate_action(std::string(BrowserMenu::actionPrefix) + "." + action);
        settle();
    }
    bool enabled(const std::string& action) const {
        return menu->actions()->lookup_action(action)->get_enabled();
    }
    std::string activeAddress() const { return state->activeTab()->urlString.get(); }
    void setDeveloperMode(bool on) {
        state->profileData.modify([&](ProfileData& data) { data.settings.developerMode = on; });
    }

    std::shared_ptr<AppState> state;
    std::unique_ptr<Gtk::MenuButton> button;
    std::unique_ptr<BrowserMenu> menu;
};

TEST_F(BrowserMenuTest, NormalWindowListsEveryItemInOrderWithIconsAndSeparators) {
    open();
    EXPECT_EQ(button->get_menu_model(), menu->model());
    ASSERT_NE(button->get_popover(), nullptr);
    EXPECT_TRUE(button->get_popover()->has_css_class(ChromeStyle::themedPopover));
    const Listing expected{
        {{"New Tab", "browser-menu.new-tab", "list-add-symbolic"}},
        {{"History", "browser-menu.history", "document-open-recent-symbolic"},
         {"Downloads", "browser-menu.downloads", "folder-download-symbolic"},
         {"Bookmarks", "browser-menu.bookmarks", "user-bookmarks-symbolic"},
         {"Bookmarks Sidebar", "browser-menu.bookmarks-sidebar", "sidebar-show-symbolic"},
         {"Settings", "browser-menu.settings", "emblem-system-symbolic"},
         {"Themes", "browser-menu.themes", "applications-graphics-symbolic"}},
        {{"Proxy Add-on", "browser-menu.proxy", "network-wired-symbolic"}},
        {{"Open Guest Mode", "browser-menu.open-guest", "view-conceal-symbolic"},
         {"Create Profile", "browser-menu.create-profile", "contact-new-symbolic"}}};
    EXPECT_EQ(listing(menu->model()), expected);
    for (const char* action : {"new-tab", "history", "downloads", "bookmarks", "bookmarks-sidebar", "settings",
                               "themes", "proxy", "open-guest", "create-profile"})
        EXPECT_TRUE(enabled(action)) << action;
    EXPECT_FALSE(enabled("exit-guest"));
    EXPECT_FALSE(enabled("developer-mode"));
}

TEST_F(BrowserMenuTest, PagesOpenInTheActiveTabAndNewTabAddsOne) {
    open();
    const std::vector<std::pair<std::string, std::string>> pages{
        {"history", "vx://history"},   {"downloads", "vx://downloads"}, {"bookmarks", "vx://bookmarks"},
        {"settings", "vx://settings"}, {"themes", "vx://themes"},       {"proxy", "vx://proxy"}};
    const auto tabID = state->activeTab()->id();
    for (const auto& [action, address] : pages) {
        choose(action);
        EXPECT_EQ(activeAddress(), address) << action;
        ASSERT_FALSE(web_.loads.empty());
        EXPECT_EQ(web_.loads.back().address, address);
    }
    EXPECT_EQ(state->activeTab()->id(), tabID);

    const auto before = state->tabs.get().size();
    choose("new-tab");
    EXPECT_EQ(state->tabs.get().size(), before + 1);
    EXPECT_NE(state->activeTab()->id(), tabID);
}

TEST_F(BrowserMenuTest, DeveloperModeIsListedOnlyWhileTheSettingIsOnAndOpensExperiments) {
    open();
    setDeveloperMode(true);
    settle();
    auto listed = listing(menu->model());
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed[2].back(),
              (Line{"Developer Mode", "browser-menu.developer-mode", "applications-engineering-symbolic"}));
    choose("developer-mode");
    EXPECT_EQ(activeAddress(), "vx://experiments");

    setDeveloperMode(false);
    settle();
    EXPECT_EQ(listing(menu->model())[2].size(), 1u);
    choose("developer-mode");  // no longer listed: does nothing
    EXPECT_EQ(activeAddress(), "vx://experiments");
    EXPECT_EQ(web_.loads.size(), 1u);
}

TEST_F(BrowserMenuTest, ListedItemsAreDecidedAgainWhenTheMenuOpens) {
    open();
    setDeveloperMode(true);  // the queued redraw has not run yet
    button->popup();
    spin();
    EXPECT_EQ(listing(menu->model())[2].size(), 2u);
    button->popdown();
    spin();
}

TEST_F(BrowserMenuTest, BookmarksSidebarClosesItWhenOpenAndOpensItOtherwiseAndIsRemembered) {
    open();
    choose("bookmarks-sidebar");
    EXPECT_EQ(state->sidebarKind.get(), SidebarKind::bookmarks);
    choose("bookmarks-sidebar");
    EXPECT_EQ(state->sidebarKind.get(), SidebarKind::none);
    state->setSidebar(SidebarKind::history, true);
    choose("bookmarks-sidebar");
    EXPECT_EQ(state->sidebarKind.get(), SidebarKind::bookmarks);

    auto fresh = makeState();
    drain();
    EXPECT_EQ(fresh->settings().sidebarKind, SidebarKind::bookmarks);
}

TEST_F(BrowserMenuTest, OpenGuestModeAsksForTheGuestWindowAndLeavesThisWindowAlone) {
    open();
    const auto tabs = state->tabs.get();
    const auto profile = state->currentProfile().id;
    choose("open-guest");
    EXPECT_EQ(guestWindowRequests, 1);
    EXPECT_EQ(state->tabs.get(), tabs);
    EXPECT_EQ(state->currentProfile().id, profile);
    EXPECT_TRUE(window_->get_visible());
}

TEST_F(BrowserMenuTest, GuestWindowGreysHistoryOffersExitAndNoProfileCreation) {
    open(true);
    EXPECT_EQ(titles(listing(menu->model())),
              (std::vector<std::string>{"New Tab", "--", "History", "Downloads", "Bookmarks", "Bookmarks Sidebar",
                                        "Settings", "Themes", "--", "Proxy Add-on", "--", "Exit Guest Mode"}));
    EXPECT_EQ(listing(menu->model())[3][0].icon, "system-log-out-symbolic");
    EXPECT_FALSE(enabled("history"));
    EXPECT_FALSE(enabled("create-profile"));
    EXPECT_FALSE(enabled("open-guest"));

    const std::string before = activeAddress();
    choose("history");
    EXPECT_EQ(activeAddress(), before);
}

TEST_F(BrowserMenuTest, GuestWindowNeverCreatesAProfileFromTheMenu) {
    open(true);
    const auto files = snapshot();
    const auto profiles = state->appSettings.get().profiles;
    choose("create-profile");
    EXPECT_FALSE(menu->showCreateProfile());
    EXPECT_EQ(menu->createProfileSheet(), nullptr);
    EXPECT_EQ(state->appSettings.get().profiles, profiles);
    EXPECT_EQ(snapshot(), files);
}

TEST_F(BrowserMenuTest, ExitGuestModeClosesTheGuestWindow) {
    open(true);
    choose("exit-guest");
    EXPECT_FALSE(window_->get_visible());
    EXPECT_EQ(guestWindowRequests, 0);
}

TEST_F(BrowserMenuTest, CreateProfilePresentsTheSheetAndReturnCreatesTheTypedProfile) {
    open();
    const auto before = state->appSettings.get().profiles.size();
    choose("create-profile");
    ASSERT_TRUE(menu->showCreateProfile());
    auto* sheet = menu->createProfileSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->get_visible());
    EXPECT_TRUE(sheet->get_modal());
    EXPECT_EQ(sheet->get_transient_for(), window_.get());

    sheet->nameField().set_text("Work");
    g_signal_emit_by_name(gtk_editable_get_delegate(GTK_EDITABLE(sheet->nameField().gobj())), "activate");
    ASSERT_TRUE(runUntil([&] { return !menu->showCreateProfile(); }));
    settle();
    EXPECT_FALSE(sheet->get_visible());
    EXPECT_EQ(state->currentProfile().name, "Work");

    auto fresh = makeState();
    drain();
    EXPECT_EQ(fresh->currentProfile().name, "Work");
    EXPECT_EQ(fresh->appSettings.get().profiles.size(), before + 1);
}

TEST_F(BrowserMenuTest, OutlivingItsButtonIsHarmless) {
    open();
    window_->unset_child();
    button.reset();
    menu->actions()->activate_action("open-guest");
    menu->refresh();
    menu.reset();
    EXPECT_EQ(guestWindowRequests, 0);
}

}  // namespace
}  // namespace quorelle::testing
