#include "window/CreateProfileSheet.h"

#include "state/AppState.h"
#include "window/MenuCommands.h"

#include <glib.h>
#include <gtkmm/root.h>
#include <gtkmm/shortcut.h>
#include <gtkmm/shortcutaction.h>
#include <gtkmm/shortcutcontroller.h>
#include <gtkmm/shortcuttrigger.h>

#include <utility>

namespace quorelle {

namespace {

constexpr int padding = 24;

// Horizontal space only: a tab or a space separator.
bool isHorizontalSpace(gunichar c) { return c == '\t' || g_unichar_type(c) == G_UNICODE_SPACE_SEPARATOR; }

// The length of the valid UTF-8 character at `pos`, or 0 when it is not one.
std::size_t characterAt(std::string_view s, std::size_t pos, gunichar& c) {
    const char* start = s.data() + pos;
    const gunichar decoded = g_utf8_get_char_validated(start, static_cast<gssize>(s.size() - pos));
    if (decoded == static_cast<gunichar>(-1) || decoded == static_cast<gunichar>(-2)) return 0;
    c = decoded;
    return static_cast<std::size_t>(g_utf8_next_char(start) - start);
}

}  // namespace

std::string CreateProfileSheet::trimmedName(std::string_view name) {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool seenText = false;
    for (std::size_t pos = 0; pos < name.size();) {
        gunichar c = 0;
        const std::size_t length = characterAt(name, pos, c);
        const bool space = length > 0 && isHorizontalSpace(c);
        const std::size_t next = pos + (length > 0 ? length : 1);
        if (!space) {
            if (!seenText) begin = pos;
            seenText = true;
            end = next;
        }
        pos = next;
    }
    return seenText ? std::string(name.substr(begin, end - begin)) : std::string();
}

CreateProfileSheet::CreateProfileSheet(std::shared_ptr<AppState> appState, std::function<void(bool)> isPresented)
    : appState_(std::move(appState)), isPresented_(std::move(isPresented)) {
    set_name("create-profile-sheet");
    set_title("Create Profile");
    set_modal(true);
    MenuCommands::forwardApplicationShortcuts(*this);
    set_resizable(false);
    set_hide_on_close(true);
    set_default_size(width, -1);

    title_.add_css_class("heading");
    name_.set_placeholder_text("Profile name");
    name_.set_activates_default(true);
    name_.set_hexpand(true);

    buttons_.set_halign(Gtk::Align::CENTER);
    create_.add_css_class("suggested-action");
    buttons_.append(cancel_);
    buttons_.append(create_);

    content_.set_margin(padding);
    content_.set_size_request(width - 2 * padding, -1);
    content_.append(title_);
    content_.append(name_);
    content_.append(buttons_);
    set_child(content_);
    set_default_widget(create_);
    // Return anywhere in the sheet creates, even on the focused Cancel
    // button, which would otherwise take the key for itself.
    auto returnKey = Gtk::ShortcutController::create();
    returnKey->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    returnKey->add_shortcut(Gtk::Shortcut::create(Gtk::ShortcutTrigger::parse_string("Return|KP_Enter|ISO_Enter"),
                                                  Gtk::CallbackAction::create([this](Gtk::Widget&, const Glib::VariantBase&) {
                                                      create();
                                                      return true;
                                                  })));
    add_controller(returnKey);

    cancel_.signal_clicked().connect([this] { dismiss(); });
    create_.signal_clicked().connect([this] { create(); });
    signal_close_request().connect(
        [this] {
            if (isPresented_) isPresented_(false);
            return false;  // hidden, as set above
        },
        false);
}

CreateProfileSheet::~CreateProfileSheet() = default;

void CreateProfileSheet::presentOver(Gtk::Widget* anchor) {
    if (auto* parent = anchor ? dynamic_cast<Gtk::Window*>(anchor->get_root()) : nullptr) set_transient_for(*parent);
    present();
    name_.grab_focus();
}

void CreateProfileSheet::create() {
    const std::string name = trimmedName(name_.get_text().raw());
    // Nothing to create: the keys go where the name is missing, not on the
    // button that was pressed.
    if (name.empty()) {
        name_.grab_focus();
        return;
    }
    appState_->createProfile(name);
    dismiss();
}

void CreateProfileSheet::dismiss() {
    set_visible(false);
    if (isPresented_) isPresented_(false);
}

}  // namespace quorelle
