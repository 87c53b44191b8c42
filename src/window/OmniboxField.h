#pragma once

#include "model/OmniboxLeadingIcon.h"
#include "window/ActiveTabWatch.h"

#include <gtkmm/box.h>
#include <gtkmm/entry.h>
#include <gtkmm/eventcontrollerfocus.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <memory>
#include <string>
#include <vector>

namespace quorelle {

class AppState;
class ViewRefresh;

// The address field in the middle of the toolbar: a leading symbol for the
// kind of page, the text entry, and an orange "Not Secure" label for plain
// web pages.
//
// While it has keyboard focus the user edits: every keystroke goes to the
// state's omnibox text, and Return submits the text shown. Otherwise it
// follows the active tab's address. Its keyboard focus is the window's one
// omnibox focus flag: the window reads it through isFocused() and
// signalFocusChanged(), and moves it with focus(). Up and Down keep the focus
// and the text, and move the caret to the text's start and end. An edit
// under way when the window enters another profile starts over on that
// profile's tab.
class OmniboxField : public Gtk::Box {
public:
    explicit OmniboxField(std::shared_ptr<AppState> appState);
    ~OmniboxField() override;

    // Moves keyboard focus into the field, which starts editing the active
    // tab's address. When the field has the focus already, the edit under way
    // ends and a new one starts: after a new tab opens, the field holds that
    // tab's text rather than what was typed for the one before.
    void focus();
    bool isFocused() const { return focused_; }
    std::string editText() const { return entry_.get_text(); }
    // Whether the user has changed the text since the edit under way began.
    bool typedInto() const { return focused_ && typed_; }

    // Focus entered (true) or left (false), after the state has been told.
    sigc::signal<void(bool)>& signalFocusChanged() { return focusChanged_; }
    // The user changed the text while editing; the state's omnibox text and
    // suggestion flag already hold the new value. Programmatic changes of the
    // field's text never fire it.
    sigc::signal<void(const std::string&)>& signalEdited() { return edited_; }
    // Return was pressed; carries the text that was submitted.
    sigc::signal<void(const std::string&)>& signalSubmitted() { return submitted_; }

    Gtk::Entry& entry() { return entry_; }
    Gtk::Image& leadingIcon() { return icon_; }
    Gtk::Label& notSecureLabel() { return notSecure_; }

    // The symbol the field shows now and whether it is drawn in orange.
    OmniboxLeadingIcon shownIcon() const { return shownIcon_; }
    bool iconIsWarning() const;

    // Redraws from the state at once; changes are otherwise picked up on the
    // main queue.
    void refresh();

private:
    void onFocusEnter();
    void onFocusLeave();
    void onTextChanged();
    void onActivate();
    bool onKeyPressed(guint keyval, Gdk::ModifierType state);
    void setEditText(const std::string& text);
    void updateDecorations();

    std::shared_ptr<AppState> appState_;
    Gtk::Image icon_;
    Gtk::Entry entry_;
    Gtk::Label notSecure_;
    Glib::RefPtr<Gtk::EventControllerFocus> focusController_;
    Glib::RefPtr<Gtk::EventControllerKey> keyController_;
    bool focused_ = false;
    bool typed_ = false;
    std::string editedProfileID_;  // the profile the edit under way began in
    OmniboxLeadingIcon shownIcon_;
    std::unique_ptr<ViewRefresh> refresh_;
    ActiveTabWatch activeTab_;
    sigc::connection changedConnection_;
    sigc::connection stateConnection_;
    std::vector<sigc::connection> focusConnections_;
    sigc::signal<void(bool)> focusChanged_;
    sigc::signal<void(const std::string&)> edited_;
    sigc::signal<void(const std::string&)> submitted_;
};

}  // namespace quorelle
