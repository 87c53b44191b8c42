#include "window/OmniboxField.h"

#include "model/BrowserNavigation.h"
#include "model/BrowserTab.h"
#include "state/AppState.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/ViewRefresh.h"

#include <gtkmm/root.h>

#include <utility>

namespace quorelle {

OmniboxField::OmniboxField(std::shared_ptr<AppState> appState)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 8),
      appState_(std::move(appState)),
      focusController_(Gtk::EventControllerFocus::create()),
      keyController_(Gtk::EventControllerKey::create()),
      refresh_(std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { refresh(); })),
      // A page that changes its address or security redraws the field too.
      activeTab_([this] { refresh_->schedule(); }) {
    set_name("omnibox");
    add_css_class(ChromeStyle::omnibox);
    set_hexpand(true);
    set_valign(Gtk::Align::CENTER);
    set_size_request(-1, ChromeMetrics::px(ChromeMetrics::toolbarHeight - 12));

    icon_.add_css_class(ChromeStyle::omniboxIcon);
    icon_.set_pixel_size(14);
    icon_.set_size_request(16, -1);
    icon_.set_valign(Gtk::Align::CENTER);

    entry_.set_name("omnibox-entry");
    entry_.set_has_frame(false);
    entry_.set_hexpand(true);
    entry_.set_valign(Gtk::Align::CENTER);
    entry_.set_placeholder_text(Glib::ustring(std::string(BrowserNavigation::omniboxPlaceholder)));

    notSecure_.set_text("Not Secure");
    notSecure_.add_css_class(ChromeStyle::notSecure);
    notSecure_.set_single_line_mode(true);
    notSecure_.set_ellipsize(Pango::EllipsizeMode::NONE);
    notSecure_.set_valign(Gtk::Align::CENTER);

    append(icon_);
    append(entry_);
    append(notSecure_);

    add_controller(focusController_);
    focusConnections_.push_back(focusController_->signal_enter().connect([this] { onFocusEnter(); }));
    focusConnections_.push_back(focusController_->signal_leave().connect([this] { onFocusLeave(); }));
    focusConnections_.push_back(entry_.signal_activate().connect([this] { onActivate(); }));
    // Heard after the text has had the key: what it leaves would otherwise
    // move the window's focus.
    entry_.add_controller(keyController_);
    focusConnections_.push_back(keyController_->signal_key_pressed().connect(
        [this](guint keyval, guint, Gdk::ModifierType state) { return onKeyPressed(keyval, state); }, false));
    changedConnection_ = entry_.signal_changed().connect([this] { onTextChanged(); });
    stateConnection_ = appState_->signalObjectWillChange().connect([this] { refresh_->schedule(); });

    setEditText(appState_->omniboxText.get());
    activeTab_.follow(appState_->activeTab());
    updateDecorations();
}

OmniboxField::~OmniboxField() {
    for (auto& connection : focusConnections_) connection.disconnect();
    changedConnection_.disconnect();
    stateConnection_.disconnect();
}

void OmniboxField::focus() {
    if (focused_) {
        onFocusLeave();
        onFocusEnter();
        return;
    }
    entry_.grab_focus();
}

bool OmniboxField::iconIsWarning() const {
    return shownIcon_ == OmniboxLeadingIcon::insecure && !appState_->isEditingOmnibox.get();
}

void OmniboxField::refresh() {
    activeTab_.follow(appState_->activeTab());
    // An edit begun before the window entered another profile (the menu
    // that creates one hands the field the focus as it closes) belongs to a
    // tab that is gone with the old profile's tabs: it starts over on the new
    // profile's tab.
    if (focused_ && appState_->isEditingOmnibox.get() && appState_->currentProfile().id != editedProfileID_) {
        onFocusLeave();
        onFocusEnter();
    }
    // While the user edits, neither a new address nor a tab switch replaces
    // what is being typed.
    if (!appState_->isEditingOmnibox.get()) setEditText(appState_->omniboxText.get());
    updateDecorations();
}

void OmniboxField::onFocusEnter() {
    focused_ = true;
    typed_ = false;
    editedProfileID_ = appState_->currentProfile().id;
    appState_->beginOmniboxEditing();
    setEditText(BrowserNavigation::displayText(appState_->activeTab().get()));
    entry_.select_region(0, -1);
    updateDecorations();
    focusChanged_.emit(true);
}

void OmniboxField::onFocusLeave() {
    focused_ = false;
    appState_->endOmniboxEditing();
    setEditText(appState_->omniboxText.get());
    updateDecorations();
    focusChanged_.emit(false);
}

void OmniboxField::onTextChanged() {
    if (!appState_->isEditingOmnibox.get()) return;
    const std::string text = entry_.get_text();
    typed_ = true;
    appState_->omniboxText.set(text);
    appState_->showOmniboxSuggestions.set(focused_ && !text.empty());
    edited_.emit(text);
}

void OmniboxField::onActivate() {
    // Exactly the text shown, even when it differs from the state's copy.
    const std::string text = entry_.get_text();
    appState_->handleOmniboxSubmit(text);
    if (auto* root = get_root()) root->unset_focus();
    if (focused_) onFocusLeave();  // not in a window: nothing else would end the edit
    submitted_.emit(text);
}

bool OmniboxField::onKeyPressed(guint keyval, Gdk::ModifierType state) {
    const bool up = keyval == GDK_KEY_Up || keyval == GDK_KEY_KP_Up;
    const bool down = keyval == GDK_KEY_Down || keyval == GDK_KEY_KP_Down;
    const auto held = state & (Gdk::ModifierType::SHIFT_MASK | Gdk::ModifierType::ALT_MASK |
                               Gdk::ModifierType::SUPER_MASK | Gdk::ModifierType::META_MASK);
    if (!(up || down) || held != Gdk::ModifierType(0)) return false;
    entry_.set_position(up ? 0 : -1);
    return true;
}

void OmniboxField::setEditText(const std::string& text) {
    if (entry_.get_text().raw() == text) return;
    changedConnection_.block();
    entry_.set_text(text);
    entry_.set_position(-1);
    changedConnection_.unblock();
}

void OmniboxField::updateDecorations() {
    const bool editing = appState_->isEditingOmnibox.get();
    const auto tab = appState_->activeTab();
    shownIcon_ = editing ? OmniboxLeadingIcon(OmniboxLeadingIcon::search) : OmniboxLeadingIcon::forTab(tab.get());
    icon_.set_from_icon_name(std::string(shownIcon_.iconName()));
    if (iconIsWarning())
        icon_.add_css_class(ChromeStyle::warning);
    else
        icon_.remove_css_class(ChromeStyle::warning);
    // Follows the tab's own security flag, not the symbol, and stays while editing.
    notSecure_.set_visible(tab && !tab->isSecure.get() && !tab->isInternal.get());
    if (focused_)
        add_css_class(ChromeStyle::focused);
    else
        remove_css_class(ChromeStyle::focused);
}

}  // namespace quorelle
