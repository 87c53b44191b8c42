#include "window/ProfileMenu.h"

#include "web/ProductLogo.h"
#include "window/ChromeStyle.h"
#include "window/CreateProfileSheet.h"
#include "window/FaviconImageCache.h"
#include "window/QuorelleLogoCache.h"
#include "window/WindowTestSupport.h"

#include <giomm/simpleactiongroup.h>
#include <gtkmm/image.h>
#include <gtkmm/menubutton.h>

#include <algorithm>

namespace quorelle::testing {
namespace {

class ProfileMenuTest : public WindowTest {
protected:
    ProfileMenuTest() : logo(std::string(ProductLogo::resourcePath)), images(logo) {}

    void open(bool guestWindow = false) {
        state = makeState(guestWindow);
        drain();
        button = std::make_unique<Gtk::MenuButton>();
        menu = std::make_unique<ProfileMenu>(state, images);
        button->set_popover(*menu);
        showInWindow(*button);
        countGuestWindowRequests();
    }
    void TearDown() override {
        if (button) button->unset_popover();
        menu.reset();
        if (window_) window_->unset_child();
        button.reset();
    }
    void click(Gtk::Button& target) {
        g_signal_emit_by_name(target.gobj(), "clicked");
        settle();
    }
    void setDarkMode(bool dark) {
        state->profileData.modify([&](ProfileData& data) { data.theme.useDarkMode = dark; });
    }
    std::string activeAddress() const { return state->activeTab()->urlString.get(); }
    static std::string rowTitle(Gtk::Button& row) {
        for (auto* child = row.get_child()->get_first_child(); child; child = child->get_next_sibling())
            if (auto* label = dynamic_cast<Gtk::Label*>(child)) return label->get_text();
        return {};
    }
    static std::string rowIcon(Gtk::Button& row) {
        auto* image = dynamic_cast<Gtk::Image*>(row.get_child()->get_first_child());
        return image ? image->get_icon_name().raw() : std::string();
    }
    static std::string buttonTitle(Gtk::Button& button) {
        auto* label = dynamic_cast<Gtk::Label*>(button.get_child());
        return label ? label->get_text().raw() : std::string();
    }

    QuorelleLogoCache logo;
    FaviconImageCache images;
    std::shared_ptr<AppState> state;
    std::unique_ptr<Gtk::MenuButton> button;
    std::unique_ptr<ProfileMenu> menu;
};

TEST_F(ProfileMenuTest, NormalWindowShowsWhoIsBrowsingThenRowsThemeLineAndButtons) {
    open();
    EXPECT_EQ(button->get_popover(), menu.get());
    EXPECT_TRUE(menu->has_css_class(ChromeStyle::themedPopover));
    std::vector<Gtk::Widget*> order;
    for (auto* child = menu->content().get_first_child(); child; child = child->get_next_sibling())
        order.push_back(child);
    ASSERT_EQ(order.size(), 8u);
    EXPECT_EQ(order[2], &menu->manageProfilesRow());
    EXPECT_EQ(order[3], &menu->profileSettingsRow());
    EXPECT_EQ(order[4], &menu->themeLine());
    EXPECT_EQ(order[6], &menu->newProfileButton());
    EXPECT_EQ(order[7], &menu->openGuestButton());
    EXPECT_NE(dynamic_cast<Gtk::Separator*>(order[1]), nullptr);
    EXPECT_NE(dynamic_cast<Gtk::Separator*>(order[5]), nullptr);

    EXPECT_EQ(menu->nameLabel().get_text(), "Default");
    EXPECT_EQ(menu->kindLabel().get_text(), "Normal");
    EXPECT_TRUE(menu->avatarLetter().get_visible());
    EXPECT_FALSE(menu->avatarImage().get_visible());
    EXPECT_EQ(menu->avatarLetter().get_text(), "D");

    EXPECT_EQ(rowTitle(menu->manageProfilesRow()), "Manage Profiles");
    EXPECT_EQ(rowIcon(menu->manageProfilesRow()), "system-users-symbolic");
    EXPECT_EQ(rowTitle(menu->profileSettingsRow()), "Profile Settings");
    EXPECT_EQ(rowIcon(menu->profileSettingsRow()), "emblem-system-symbolic");
    EXPECT_TRUE(menu->themeLine().get_visible());
    EXPECT_EQ(buttonTitle(menu->newProfileButton()), "New Profile");
    EXPECT_TRUE(menu->newProfileButton().get_visible());
    EXPECT_EQ(buttonTitle(menu->openGuestButton()), "Open Guest Mode");
    EXPECT_TRUE(menu->openGuestButton().get_visible());

    int width = 0, height = 0;
    menu->content().get_size_request(width, height);
    EXPECT_EQ(width + menu->content().get_margin_start() + menu->content().get_margin_end(), ProfileMenu::width);
}

TEST_F(ProfileMenuTest, ThemeLineFollowsTheThemesDarkModeFlag) {
    open();
    setDarkMode(true);
    settle();
    EXPECT_EQ(menu->themeLine().get_text(), "Theme: Dark");
    setDarkMode(false);
    settle();
    EXPECT_EQ(menu->themeLine().get_text(), "Theme: Light");
}

TEST_F(ProfileMenuTest, RowsOpenTheProfilesAndSettingsPagesInTheActiveTab) {
    open();
    button->popup();
    spin();
    click(menu->manageProfilesRow());
    EXPECT_EQ(activeAddress(), "vx://profiles");
    EXPECT_FALSE(menu->get_visible());
    click(menu->profileSettingsRow());
    EXPECT_EQ(activeAddress(), "vx://settings");
}

TEST_F(ProfileMenuTest, HeaderFollowsASwitchMadeOnTheProfilesPage) {
    open();
    state->createProfile("Work");
    state->switchProfile(AppSettings::defaultProfileID);
    settle();
    EXPECT_EQ(menu->nameLabel().get_text(), "Default");
    const auto work = std::find_if(state->appSettings.get().profiles.begin(), state->appSettings.get().profiles.end(),
                                   [](const BrowserProfile& p) { return p.name == "Work"; });
    ASSERT_NE(work, state->appSettings.get().profiles.end());
    state->switchProfile(work->id);
    settle();
    EXPECT_EQ(menu->nameLabel().get_text(), "Work");
    EXPECT_EQ(menu->avatarLetter().get_text(), "W");
    EXPECT_EQ(menu->kindLabel().get_text(), "Normal");
}

TEST_F(ProfileMenuTest, AnAvatarThatCannotBeLoadedShowsTheLetterBadgeInTheCircle) {
    open();
    state->updateProfile(AppSettings::defaultProfileID, std::nullopt, "file:///nonexistent/avatar.png", false,
                         std::nullopt, std::nullopt, std::nullopt);
    settle();
    ASSERT_TRUE(runUntil([&] { return images.status("file:///nonexistent/avatar.png") ==
                                      FaviconImageCache::Status::failed; }));
    settle();
    EXPECT_TRUE(menu->avatarImage().get_visible());
    EXPECT_FALSE(menu->avatarLetter().get_visible());
    EXPECT_EQ(menu->avatarImage().url(), std::optional<std::string>("file:///nonexistent/avatar.png"));
    EXPECT_EQ(menu->avatarImage().content(), FaviconView::Content::badge);
    EXPECT_EQ(menu->avatarImage().badge().get_text(), "D");
    EXPECT_EQ(menu->avatarImage().size(), ProfileMenu::avatarSize);
}

TEST_F(ProfileMenuTest, GuestWindowShowsTheGuestAndOffersNeitherThemeLineNorProfileCreationNorGuestMode) {
    open(true);
    EXPECT_EQ(menu->nameLabel().get_text(), "Guest");
    EXPECT_EQ(menu->kindLabel().get_text(), "Guest");
    EXPECT_EQ(menu->avatarLetter().get_text(), "G");
    EXPECT_FALSE(menu->themeLine().get_visible());
    EXPECT_FALSE(menu->openGuestButton().get_visible());
    // A guest window cannot make profiles, so it is not offered.
    EXPECT_FALSE(menu->newProfileButton().get_visible());
    EXPECT_TRUE(menu->manageProfilesRow().get_visible());
    EXPECT_TRUE(menu->profileSettingsRow().get_visible());
    // Nothing is left below the rows, so no separator ends the menu.
    Gtk::Widget* last = nullptr;
    for (auto* child = menu->content().get_first_child(); child; child = child->get_next_sibling())
        if (child->get_visible()) last = child;
    EXPECT_EQ(last, &menu->profileSettingsRow());
}

TEST_F(ProfileMenuTest, OpenGuestModeAsksForTheGuestWindow) {
    open();
    const auto profile = state->currentProfile().id;
    click(menu->openGuestButton());
    EXPECT_EQ(guestWindowRequests, 1);
    EXPECT_EQ(state->currentProfile().id, profile);
}

TEST_F(ProfileMenuTest, NewProfileCreatesTheTypedProfileAndSwitchesToIt) {
    open();
    // Offered in a normal window even while its profile is a guest one.
    state->appSettings.modify([](AppSettings& settings) {
        for (auto& profile : settings.profiles) profile.isGuest = profile.isGuest || profile.id == "default";
    });
    settle();
    ASSERT_EQ(menu->kindLabel().get_text(), "Guest");
    ASSERT_TRUE(menu->newProfileButton().get_visible());
    click(menu->newProfileButton());
    ASSERT_TRUE(menu->showCreateProfile());
    auto* sheet = menu->createProfileSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->get_transient_for(), window_.get());
    sheet->nameField().set_text(" Studio ");
    click(sheet->createButton());
    EXPECT_FALSE(menu->showCreateProfile());
    EXPECT_FALSE(sheet->get_visible());
    EXPECT_EQ(menu->nameLabel().get_text(), "Studio");

    auto fresh = makeState();
    drain();
    EXPECT_EQ(fresh->currentProfile().name, "Studio");
}

TEST_F(ProfileMenuTest, CancelledNewProfileCreatesNothingAndReopensEmpty) {
    open();
    const auto before = state->appSettings.get().profiles;
    click(menu->newProfileButton());
    menu->createProfileSheet()->nameField().set_text("Nope");
    click(menu->createProfileSheet()->cancelButton());
    EXPECT_FALSE(menu->showCreateProfile());
    EXPECT_EQ(state->appSettings.get().profiles, before);

    click(menu->newProfileButton());
    EXPECT_EQ(menu->createProfileSheet()->nameField().get_text(), "");
    click(menu->createProfileSheet()->cancelButton());

    auto fresh = makeState();
    drain();
    EXPECT_EQ(fresh->appSettings.get().profiles.size(), before.size());
}

TEST_F(ProfileMenuTest, DestroyingTheMenuFirstLeavesTheButtonWithoutAPopup) {
    open();
    menu.reset();
    spin();
    EXPECT_EQ(button->get_popover(), nullptr);
}

}  // namespace
}  // namespace quorelle::testing
