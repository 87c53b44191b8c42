#pragma once

#include "model/PasswordItem.h"
#include "model/PasswordSavePrompt.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>

namespace quorelle {

class AppState;
class ViewRefresh;

// Offers to keep a login the user just used: Save stores it (the secret in
// the keyring, the rest in the profile), Not Now drops the offer, Never adds
// the site to the profile's never-save list. Every button clears the state's
// save prompt, which takes the card away. Return presses Save.
//
// The card acts on the prompt it was made with; when the state holds a new
// prompt while the card shows, the card takes that one instead.
class PasswordSavePromptCard : public Gtk::Box {
public:
    static constexpr int width = 360;

    PasswordSavePromptCard(AppState& appState, PasswordSavePrompt prompt);
    ~PasswordSavePromptCard() override;
    PasswordSavePromptCard(const PasswordSavePromptCard&) = delete;
    PasswordSavePromptCard& operator=(const PasswordSavePromptCard&) = delete;

    // Makes a card for the state's prompt each time the card is presented
    // (nothing when the state holds none).
    using CardFactory = std::function<std::unique_ptr<Gtk::Widget>(AppState&)>;
    static CardFactory cardFactory();

    // The record Save stores for `prompt`: a new id, the prompt's address,
    // domain and user name, no e-mail or notes, and the time of the save.
    static PasswordItem makeItem(const PasswordSavePrompt& prompt);

    void save();
    void notNow();
    void never();

    const PasswordSavePrompt& prompt() const { return prompt_; }
    Gtk::Label& titleLabel() { return title_; }
    Gtk::Label& messageLabel() { return message_; }
    Gtk::Button& saveButton() { return save_; }
    Gtk::Button& notNowButton() { return notNow_; }
    Gtk::Button& neverButton() { return never_; }

private:
    void followPrompt();

    AppState& appState_;
    PasswordSavePrompt prompt_;
    Gtk::Label title_{"Save Password?"};
    Gtk::Label message_{"Would you like Quorelle to save your login for this website?"};
    Gtk::Box buttons_;
    Gtk::Button save_{"Save"};
    Gtk::Button notNow_{"Not Now"};
    Gtk::Button never_{"Never"};
    std::unique_ptr<ViewRefresh> refresh_;
    sigc::connection promptConnection_;
};

}  // namespace quorelle
