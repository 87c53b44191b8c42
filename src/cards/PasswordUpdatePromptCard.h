#pragma once

#include "model/PasswordUpdatePrompt.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>

namespace quorelle {

class AppState;
class ViewRefresh;

// Offers to replace the password of a login the browser already keeps:
// Update stores the new secret for the same login (its record unchanged),
// Ignore drops the offer. Both clear the state's update prompt, which takes
// the card away. Return presses Update.
//
// The card acts on the prompt it was made with; when the state holds a new
// prompt while the card shows, the card takes that one instead.
class PasswordUpdatePromptCard : public Gtk::Box {
public:
    static constexpr int width = 320;

    PasswordUpdatePromptCard(AppState& appState, PasswordUpdatePrompt prompt);
    ~PasswordUpdatePromptCard() override;
    PasswordUpdatePromptCard(const PasswordUpdatePromptCard&) = delete;
    PasswordUpdatePromptCard& operator=(const PasswordUpdatePromptCard&) = delete;

    // Makes a card for the state's prompt each time the card is presented
    // (nothing when the state holds none).
    using CardFactory = std::function<std::unique_ptr<Gtk::Widget>(AppState&)>;
    static CardFactory cardFactory();

    void update();
    void ignore();

    const PasswordUpdatePrompt& prompt() const { return prompt_; }
    Gtk::Label& titleLabel() { return title_; }
    Gtk::Button& updateButton() { return update_; }
    Gtk::Button& ignoreButton() { return ignore_; }

private:
    void followPrompt();

    AppState& appState_;
    PasswordUpdatePrompt prompt_;
    Gtk::Label title_{"Update Password?"};
    Gtk::Box buttons_;
    Gtk::Button update_{"Update"};
    Gtk::Button ignore_{"Ignore"};
    std::unique_ptr<ViewRefresh> refresh_;
    sigc::connection promptConnection_;
};

}  // namespace quorelle
