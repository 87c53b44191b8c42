#pragma once

#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/messagedialog.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <string>
#include <vector>

namespace quorelle {

// The small alert that names a bookmark folder: a title ("New Folder" or
// "Rename Folder"), a field with the placeholder "Folder name", and two
// buttons, the first "Create" or "Rename" and then "Cancel". Return in the
// field presses the first button.
//
// It only collects the name: the owner listens to signalNameChanged() and
// to the dialog's response (OK for the first button, CANCEL for Cancel,
// DELETE_EVENT when the window is closed) and decides what happens. Closed
// by Escape or the window manager, the dialog hides, as it does after a
// button's answer; it is never destroyed under its owner.
class BookmarkFolderNameDialog : public Gtk::MessageDialog {
public:
    enum class Mode { create, rename };

    static std::string titleFor(Mode mode);
    static std::string confirmLabelFor(Mode mode);
    static constexpr const char* placeholder = "Folder name";
    static constexpr const char* cancelLabel = "Cancel";

    BookmarkFolderNameDialog(Mode mode, const std::string& name);
    ~BookmarkFolderNameDialog() override;

    Mode mode() const { return mode_; }
    std::string title() const { return title_; }
    Gtk::Entry& entry() { return entry_; }
    Gtk::Button* confirmButton();
    Gtk::Button* cancelButton();

    // Each edit of the field, with the text now in it.
    sigc::signal<void(const std::string&)>& signalNameChanged() { return nameChanged_; }

private:
    Mode mode_;
    std::string title_;
    Gtk::Entry entry_;
    sigc::signal<void(const std::string&)> nameChanged_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
