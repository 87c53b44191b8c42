#pragma once

#include "store/IPasswordPrompt.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/passwordentry.h>
#include <gtkmm/window.h>

#include <functional>

namespace quorelle {

// The browser's own modal prompt for the owner's account password, shown
// for the owner check: the caller's reason, a password field, Cancel and
// Unlock (the default). A wrong password keeps it up with the error shown.
class PasswordPromptDialog : public IPasswordPrompt {
public:
    // `parentWindow` gives the window the prompt belongs to (may be null).
    explicit PasswordPromptDialog(std::function<Gtk::Window*()> parentWindow);
    ~PasswordPromptDialog() override;
    PasswordPromptDialog(const PasswordPromptDialog&) = delete;
    PasswordPromptDialog& operator=(const PasswordPromptDialog&) = delete;

    void ask(const PasswordPromptRequest& request, Reply reply) override;
    void close() override;

    Gtk::Window& window() { return window_; }
    Gtk::PasswordEntry& passwordEntry() { return entry_; }
    Gtk::Button& unlockButton() { return unlock_; }
    Gtk::Button& cancelButton() { return cancel_; }
    Gtk::Label& reasonLabel() { return reason_; }
    Gtk::Label& errorLabel() { return error_; }

private:
    void submit();
    void cancel();
    void setChecking(bool checking);
    void clearEntry();

    std::function<Gtk::Window*()> parentWindow_;
    Reply pending_;
    Gtk::Window window_;
    Gtk::Box content_{Gtk::Orientation::VERTICAL, 12};
    Gtk::Label heading_;
    Gtk::Label reason_;
    Gtk::PasswordEntry entry_;
    Gtk::Label error_;
    Gtk::Box buttons_{Gtk::Orientation::HORIZONTAL, 8};
    Gtk::Button cancel_{"Cancel"};
    Gtk::Button unlock_{"Unlock"};
};

}  // namespace quorelle
