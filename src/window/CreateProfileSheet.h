#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quorelle {

class AppState;

// A small modal window asking for the name of a new profile: the title, a
// name field, then Cancel and Create. Create is the window's default, and
// Return anywhere in the sheet creates, whichever control has the focus. A
// name that is blank after trimming is ignored and the sheet stays up, the
// focus in its name field; otherwise the profile is created (which also
// switches the window to it) and the sheet closes.
//
// The sheet does not decide when it is shown: its presenter owns a flag and
// passes a setter for it. The sheet writes false to close itself (Cancel, a
// successful Create, or the window being closed); it also hides itself at
// that moment, so a presenter may simply drop it later. Every sheet starts
// with an empty field, so a presenter makes a fresh one per presentation.
class CreateProfileSheet : public Gtk::Window {
public:
    static constexpr int width = 320;

    CreateProfileSheet(std::shared_ptr<AppState> appState, std::function<void(bool)> isPresented);
    ~CreateProfileSheet() override;

    // Shows the sheet over the window holding `anchor` (or on its own when
    // the anchor is in no window) with the name field focused.
    void presentOver(Gtk::Widget* anchor);

    // The name with spaces, tabs and other horizontal space removed from both
    // ends; line breaks are kept.
    static std::string trimmedName(std::string_view name);

    Gtk::Label& titleLabel() { return title_; }
    Gtk::Entry& nameField() { return name_; }
    Gtk::Button& cancelButton() { return cancel_; }
    Gtk::Button& createButton() { return create_; }

private:
    void create();
    void dismiss();

    std::shared_ptr<AppState> appState_;
    std::function<void(bool)> isPresented_;
    Gtk::Box content_{Gtk::Orientation::VERTICAL, 16};
    Gtk::Label title_{"Create Profile"};
    Gtk::Entry name_;
    Gtk::Box buttons_{Gtk::Orientation::HORIZONTAL, 8};
    Gtk::Button cancel_{"Cancel"};
    Gtk::Button create_{"Create"};
};

}  // namespace quorelle
