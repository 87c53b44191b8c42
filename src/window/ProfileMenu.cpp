#include "window/ProfileMenu.h"

#include "model/Text.h"
#include "state/AppState.h"
#include "window/ChromeColor.h"
#include "window/ChromeStyle.h"
#include "window/CreateProfileSheet.h"
#include "window/FixedStyle.h"
#include "window/LabelFont.h"
#include "window/ViewRefresh.h"

#include <gtkmm/image.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/stylecontext.h>

#include <utility>

namespace quorelle {

namespace {

constexpr int padding = 12;
constexpr int rowIconWidth = 18;
constexpr const char* avatarClass = "vx-profile-avatar";
constexpr const char* avatarLetterClass = "vx-profile-avatar-letter";

// The rows' and buttons' text lines up with the header and the theme line;
// their highlight reaches out into the menu's margin instead.
Glib::RefPtr<Gtk::CssProvider> buttonStyle() {
    static const auto provider = FixedStyle::sheet("button { padding: 4px 8px; margin: 0 -8px; }");
    return provider;
}

}  // namespace

std::string ProfileMenu::themeText(bool useDarkMode) { return std::string("Theme: ") + (useDarkMode ? "Dark" : "Light"); }

ProfileMenu::ProfileMenu(std::shared_ptr<AppState> appState, FaviconImageCache& images)
    : appState_(std::move(appState)),
      avatarImage_(images, std::nullopt, "", avatarSize),
      avatarStyle_(Gtk::CssProvider::create()),
      refresh_(std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { refresh(); })) {
    set_name("profile-menu");
    add_css_class(ChromeStyle::themedPopover);
    content_.set_margin(padding);
    content_.set_size_request(width - 2 * padding, -1);
    content_.set_halign(Gtk::Align::START);

    buildHeader();
    buildRow(manageProfiles_, manageProfilesBox_, "Manage Profiles", "system-users-symbolic");
    buildRow(profileSettings_, profileSettingsBox_, "Profile Settings", "emblem-system-symbolic");
    themeLine_.set_xalign(0);
    themeLine_.add_css_class(ChromeStyle::mutedText);
    LabelFont::set(themeLine_, 11, Pango::Weight::NORMAL);
    buildPlainButton(newProfile_, "New Profile");
    buildPlainButton(openGuest_, "Open Guest Mode");

    content_.append(header_);
    content_.append(topSeparator_);
    content_.append(manageProfiles_);
    content_.append(profileSettings_);
    content_.append(themeLine_);
    content_.append(bottomSeparator_);
    content_.append(newProfile_);
    content_.append(openGuest_);
    set_child(content_);

    connections_.push_back(manageProfiles_.signal_clicked().connect(
        [this] { act([this] { appState_->navigateActive("vx://profiles"); }); }));
    connections_.push_back(profileSettings_.signal_clicked().connect(
        [this] { act([this] { appState_->navigateActive("vx://settings"); }); }));
    connections_.push_back(newProfile_.signal_clicked().connect([this] { act([this] { setShowCreateProfile(true); }); }));
    connections_.push_back(
        openGuest_.signal_clicked().connect([this] { act([this] { activate_action("app.open-guest"); }); }));
    connections_.push_back(signal_show().connect([this] { refresh(); }));
    connections_.push_back(appState_->signalObjectWillChange().connect([this] { refresh_->schedule(); }));
    refresh();
}

ProfileMenu::~ProfileMenu() {
    for (auto& connection : connections_) connection.disconnect();
    // Leave the button without a popup rather than with a dangling one.
    if (auto* owner = dynamic_cast<Gtk::MenuButton*>(get_parent()); owner && owner->get_popover() == this)
        owner->unset_popover();
}

void ProfileMenu::buildHeader() {
    header_.set_valign(Gtk::Align::CENTER);
    const int side = static_cast<int>(avatarSize);
    avatarFrame_.set_name("profile-menu-avatar");
    avatarFrame_.add_css_class(avatarClass);
    avatarFrame_.set_size_request(side, side);
    avatarFrame_.set_valign(Gtk::Align::CENTER);
    avatarFrame_.set_overflow(Gtk::Overflow::HIDDEN);  // clips the square icon to the circle
    avatarFrame_.get_style_context()->add_provider(avatarStyle_, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    avatarLetter_.add_css_class(avatarLetterClass);
    avatarLetter_.set_size_request(side, side);
    avatarLetter_.get_style_context()->add_provider(avatarStyle_, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    LabelFont::set(avatarLetter_, 16, Pango::Weight::SEMIBOLD);
    avatarFrame_.append(avatarImage_);
    avatarFrame_.append(avatarLetter_);

    identity_.set_valign(Gtk::Align::CENTER);
    name_.set_xalign(0);
    name_.add_css_class(ChromeStyle::primaryText);
    LabelFont::set(name_, 15, Pango::Weight::SEMIBOLD);
    kind_.set_xalign(0);
    kind_.add_css_class(ChromeStyle::mutedText);
    LabelFont::set(kind_, 12, Pango::Weight::NORMAL);
    identity_.append(name_);
    identity_.append(kind_);

    header_.append(avatarFrame_);
    header_.append(identity_);
}

// An icon in an 18-point column, the title, and a spacer that makes the whole
// width clickable.
void ProfileMenu::buildRow(Gtk::Button& row, Gtk::Box& box, const char* title, const char* icon) {
    auto* image = Gtk::make_managed<Gtk::Image>();
    image->set_from_icon_name(icon);
    image->set_size_request(rowIconWidth, -1);
    image->add_css_class(ChromeStyle::primaryText);
    auto* label = Gtk::make_managed<Gtk::Label>(title);
    label->set_xalign(0);
    label->add_css_class(ChromeStyle::primaryText);
    LabelFont::set(*label, 13, Pango::Weight::NORMAL);
    auto* spacer = Gtk::make_managed<Gtk::Box>();
    spacer->set_hexpand(true);
    box.set_valign(Gtk::Align::CENTER);
    box.append(*image);
    box.append(*label);
    box.append(*spacer);
    row.set_child(box);
    row.add_css_class("flat");
    row.get_style_context()->add_provider(buttonStyle(), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    row.set_hexpand(true);
    row.set_tooltip_text(title);
}

void ProfileMenu::buildPlainButton(Gtk::Button& button, const char* title) {
    auto* label = Gtk::make_managed<Gtk::Label>(title);
    LabelFont::set(*label, 13, Pango::Weight::NORMAL);
    button.set_child(*label);
    button.add_css_class("flat");
    button.get_style_context()->add_provider(buttonStyle(), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    button.set_halign(Gtk::Align::START);
}

void ProfileMenu::refresh() {
    refreshHeader();
    refreshAvatarStyle();
    const BrowserProfile profile = appState_->currentProfile();
    const bool guestWindow = appState_->isGuestWindow();
    themeLine_.set_text(themeText(appState_->theme().useDarkMode));
    themeLine_.set_visible(!profile.isGuest);
    // A guest window cannot make profiles; offering it there would do
    // nothing. A normal window offers it whichever profile it shows.
    newProfile_.set_visible(!guestWindow);
    openGuest_.set_visible(!appState_->isGuest() && !guestWindow);
    // The line sets the buttons apart; with neither shown it would end the menu.
    bottomSeparator_.set_visible(newProfile_.get_visible() || openGuest_.get_visible());
}

void ProfileMenu::refreshHeader() {
    const BrowserProfile profile = appState_->currentProfile();
    const std::string first = text::firstCharacter(profile.name);
    const bool hasAvatar = profile.avatarURL.has_value();
    if (hasAvatar) avatarImage_.setIcon(profile.avatarURL, first);
    avatarImage_.set_visible(hasAvatar);
    avatarLetter_.set_visible(!hasAvatar);
    avatarLetter_.set_text(text::uppercased(first));
    name_.set_text(profile.name);
    kind_.set_text(profile.isGuest ? "Guest" : "Normal");
}

// The circle's shape, and the accent-tinted fill behind the letter.
void ProfileMenu::refreshAvatarStyle() {
    const std::string radius = std::to_string(static_cast<int>(avatarSize / 2)) + "px";
    std::string css = "." + std::string(avatarClass) + " { border-radius: " + radius + "; }\n" + "." +
                      avatarLetterClass + " { border-radius: " + radius + "; background-color: " +
                      ChromeColor::css(ChromeColor::accent(appState_->theme()), 0.25) + "; }\n";
    if (css == avatarCss_) return;
    avatarCss_ = std::move(css);
    avatarStyle_->load_from_data(avatarCss_);
}

void ProfileMenu::act(const std::function<void()>& action) {
    popdown();
    action();
}

}  // namespace quorelle
