#include "window/PasswordPromptDialog.h"

#include <glibmm/ustring.h>

#include <cstring>
#include <string>

namespace quorelle {

PasswordPromptDialog::PasswordPromptDialog(std::function<Gtk::Window*()> parentWindow)
    : parentWindow_(std::move(parentWindow)) {
    window_.set_title("Authentication Required");
    window_.set_modal(true);
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
    entry_.set_text("");
}

void PasswordPromptDialog::ask(const PasswordPromptRequest& request, Reply reply) {
    pending_ = std::move(reply);
    reason_.set_text(request.reason);
    error_.set_text(request.errorMessage);
    error_.set_visible(!request.errorMessage.empty());
    entry_.set_text("");
    setChecking(false);
    if (Gtk::Window* parent = parentWindow_ ? parentWindow_() : nullptr) window_.set_transient_for(*parent);
    window_.present();
    entry_.grab_focus();
}

void PasswordPromptDialog::close() {
    pending_ = nullptr;
    entry_.set_text("");
    window_.set_visible(false);
}

void PasswordPromptDialog::submit() {
    if (!pending_) return;
    auto reply = std::exchange(pending_, nullptr);
    std::string password = entry_.get_text().raw();
    entry_.set_text("");
    setChecking(true);
    reply(&password);
    explicit_bzero(password.data(), password.size());
}

void PasswordPromptDialog::cancel() {
    entry_.set_text("");
    window_.set_visible(false);
    if (auto reply = std::exchange(pending_, nullptr)) reply(nullptr);
}

// While a password is being checked the prompt takes no input.
void PasswordPromptDialog::setChecking(bool checking) {
    entry_.set_sensitive(!checking);
    unlock_.set_sensitive(!checking);
}

}  // namespace quorelle
