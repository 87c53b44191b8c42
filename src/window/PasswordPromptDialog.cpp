#include "window/PasswordPromptDialog.h"

#include "store/SecretText.h"
#include "window/MenuCommands.h"

#include <gtk/gtk.h>

#include <cstring>
#include <string>

namespace quorelle {

PasswordPromptDialog::PasswordPromptDialog(std::function<Gtk::Window*()> parentWindow)
    : parentWindow_(std::move(parentWindow)) {
    window_.set_title("Authentication Required");
    window_.set_modal(true);
    MenuCommands::forwardApplicationShortcuts(window_);
    window_.set_resizable(false);
    window_.set_hide_on_close(true);
    window_.set_default_size(380, -1);

    heading_.set_markup("<b>Authentication Required</b>");
    heading_.set_xalign(0);
    reason_.set_wrap(true);
    reason_.set_xalign(0);
    entry_.set_show_peek_icon(true);
    entry_.property_activates_default() = true;
    entry_.property_placeholder_text() = "Password";
    error_.set_xalign(0);
    error_.add_css_class("error");
    error_.set_visible(false);

    buttons_.set_halign(Gtk::Align::END);
    unlock_.add_css_class("suggested-action");
    buttons_.append(cancel_);
    buttons_.append(unlock_);

    content_.set_margin(18);
    content_.append(heading_);
    content_.append(reason_);
    content_.append(entry_);
    content_.append(error_);
    content_.append(buttons_);
    window_.set_child(content_);
    window_.set_default_widget(unlock_);

    unlock_.signal_clicked().connect([this] { submit(); });
    cancel_.signal_clicked().connect([this] { cancel(); });
    window_.signal_close_request().connect(
        [this] {
            cancel();
            return false;  // hide, as set above
        },
        false);
}

PasswordPromptDialog::~PasswordPromptDialog() {
    pending_ = nullptr;
    clearEntry();
}

void PasswordPromptDialog::ask(const PasswordPromptRequest& request, Reply reply) {
    pending_ = std::move(reply);
    reason_.set_text(request.reason);
    error_.set_text(request.errorMessage);
    error_.set_visible(!request.errorMessage.empty());
    clearEntry();
    setChecking(false);
    if (Gtk::Window* parent = parentWindow_ ? parentWindow_() : nullptr) window_.set_transient_for(*parent);
    window_.present();
    entry_.grab_focus();
}

void PasswordPromptDialog::close() {
    pending_ = nullptr;
    clearEntry();
    window_.set_visible(false);
}

void PasswordPromptDialog::submit() {
    if (!pending_) return;
    auto reply = std::exchange(pending_, nullptr);
    // Read in place: get_text() would leave a copy of its own behind.
    std::string password = gtk_editable_get_text(GTK_EDITABLE(entry_.gobj()));
    clearEntry();
    setChecking(true);
    reply(&password);
    SecretText::wipe(password);
}

void PasswordPromptDialog::cancel() {
    clearEntry();
    window_.set_visible(false);
    if (auto reply = std::exchange(pending_, nullptr)) reply(nullptr);
}

// Empties the field without leaving the typed text anywhere. Taken out
// whole, the toolkit would hand a copy of it to whoever follows the field's
// changes (the accessibility bridge makes one and frees it unwiped), and its
// own buffer would keep the bytes: so it goes one character at a time, as it
// came, and the bytes are then overwritten in place before the field empties.
void PasswordPromptDialog::clearEntry() {
    auto* editable = GTK_EDITABLE(entry_.gobj());
    const char* text = gtk_editable_get_text(editable);
    const std::size_t bytes = std::strlen(text);
    if (bytes == 0) return;
    for (auto left = g_utf8_strlen(text, -1); left > 0; --left) gtk_editable_delete_text(editable, left - 1, left);
    gtk_editable_set_text(editable, std::string(bytes, '*').c_str());
    gtk_editable_set_text(editable, "");
}

// While a password is being checked the prompt takes no input. The field
// gives up the keyboard focus first: made insensitive while it holds it, it
// would never hear the focus leave and its caret would go on blinking.
void PasswordPromptDialog::setChecking(bool checking) {
    if (auto* focus = window_.get_focus(); checking && focus && (focus == &entry_ || focus->is_ancestor(entry_)))
        window_.unset_focus();
    entry_.set_sensitive(!checking);
    unlock_.set_sensitive(!checking);
}

}  // namespace quorelle
