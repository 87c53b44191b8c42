#pragma once

#include "window/CreateProfilePresenter.h"
#include "window/FaviconView.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/label.h>
#include <gtkmm/popover.h>
#include <gtkmm/separator.h>
#include <sigc++/connection.h>

#include <memory>
#include <string>
#include <vector>

namespace quorelle {

class AppState;
class CreateProfileSheet;
class FaviconImageCache;
class ViewRefresh;

// The popover behind the toolbar's profile button. It shows who is browsing
// (a round avatar, the profile's name and "Normal" or "Guest"), leads to the
// profiles page, where profiles are switched, and to the settings page,
// tells whether the theme is dark or light, and offers a new profile and the
// guest window.
//
// The theme line is left out for a guest profile. The guest window cannot
// make profiles and is already in guest mode, so it offers neither "New
// Profile" nor "Open Guest Mode"; a normal window offers "New Profile"
// whichever profile it shows. The content follows the
// state while it changes and is brought up to date each time it opens.
//
// Opening the guest window goes through the application's "app.open-guest"
// action. "New Profile" presents the create-profile sheet over the window the
// popover belongs to.
class ProfileMenu : public Gtk::Popover {
public:
    static constexpr int width = 260;
    static constexpr double avatarSize = 40;

    // `images` must outlive the menu.
    ProfileMenu(std::shared_ptr<AppState> appState, FaviconImageCache& images);
    ~ProfileMenu() override;

    // While true the create-profile sheet is up; the sheet clears it to close.
    bool showCreateProfile() const { return createProfile_.isShown(); }
    void setShowCreateProfile(bool show) { createProfile_.setShown(show); }
    CreateProfileSheet* createProfileSheet() const { return createProfile_.sheet(); }

    // Brings the content up to date at once.
    void refresh();

    // The theme line's text for a dark-mode flag.
    static std::string themeText(bool useDarkMode);

    // ---- the parts, top to bottom -------------------------------------------
    Gtk::Box& content() { return content_; }
    FaviconView& avatarImage() { return avatarImage_; }   // shown when the profile has an avatar address
    Gtk::Label& avatarLetter() { return avatarLetter_; }  // shown otherwise
    Gtk::Label& nameLabel() { return name_; }
    Gtk::Label& kindLabel() { return kind_; }
    Gtk::Button& manageProfilesRow() { return manageProfiles_; }
    Gtk::Button& profileSettingsRow() { return profileSettings_; }
    Gtk::Label& themeLine() { return themeLine_; }
    Gtk::Button& newProfileButton() { return newProfile_; }
    Gtk::Button& openGuestButton() { return openGuest_; }

private:
    void buildHeader();
    void buildRow(Gtk::Button& row, Gtk::Box& box, const char* title, const char* icon);
    void buildPlainButton(Gtk::Button& button, const char* title);
    void refreshHeader();
    void refreshAvatarStyle();
    // Closes the popover, then runs `action`.
    void act(const std::function<void()>& action);

    std::shared_ptr<AppState> appState_;
    Gtk::Box content_{Gtk::Orientation::VERTICAL, 10};
    Gtk::Box header_{Gtk::Orientation::HORIZONTAL, 12};
    Gtk::Box avatarFrame_;
    FaviconView avatarImage_;
    Gtk::Label avatarLetter_;
    Gtk::Box identity_{Gtk::Orientation::VERTICAL, 2};
    Gtk::Label name_;
    Gtk::Label kind_;
    Gtk::Separator topSeparator_;
    Gtk::Button manageProfiles_;
    Gtk::Box manageProfilesBox_{Gtk::Orientation::HORIZONTAL, 10};
    Gtk::Button profileSettings_;
    Gtk::Box profileSettingsBox_{Gtk::Orientation::HORIZONTAL, 10};
    Gtk::Label themeLine_;
    Gtk::Separator bottomSeparator_;
    Gtk::Button newProfile_;
    Gtk::Button openGuest_;
    Glib::RefPtr<Gtk::CssProvider> avatarStyle_;
    std::string avatarCss_;
    CreateProfilePresenter createProfile_{appState_, [this]() -> Gtk::Widget* { return this; }};
    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
