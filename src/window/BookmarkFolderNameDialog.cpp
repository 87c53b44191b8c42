#include "window/BookmarkFolderNameDialog.h"

#include "window/MessageDialogLook.h"

#include <gtkmm/box.h>

namespace quorelle {

std::string BookmarkFolderNameDialog::titleFor(Mode mode) {
    return mode == Mode::rename ? "Rename Folder" : "New Folder";
}

std::string BookmarkFolderNameDialog::confirmLabelFor(Mode mode) {
    return mode == Mode::rename ? "Rename" : "Create";
}

BookmarkFolderNameDialog::BookmarkFolderNameDialog(Mode mode, const std::string& name)
    : Gtk::MessageDialog(titleFor(mode), false, Gtk::MessageType::OTHER, Gtk::ButtonsType::NONE, true),
      mode_(mode),
      title_(titleFor(mode)) {
    set_name("bookmark-folder-name-dialog");
    set_title(title_);
    set_resizable(false);
    // Its owner keeps it and drops it later: closed by Escape or the window
    // manager, it must only hide, as the buttons' answers leave it.
    set_hide_on_close(true);
    add_button(confirmLabelFor(mode), Gtk::ResponseType::OK);
    add_button(cancelLabel, Gtk::ResponseType::CANCEL);
    set_default_response(Gtk::ResponseType::OK);

    entry_.set_name("bookmark-folder-name");
    entry_.set_placeholder_text(placeholder);
    entry_.set_text(name);
    entry_.set_activates_default(true);
    entry_.set_hexpand(true);
    if (auto* area = get_message_area()) area->append(entry_);
    MessageDialogLook::apply(*this);
    connections_.push_back(entry_.signal_changed().connect([this] { nameChanged_.emit(entry_.get_text()); }));
}

BookmarkFolderNameDialog::~BookmarkFolderNameDialog() {
    for (auto& connection : connections_) connection.disconnect();
}

Gtk::Button* BookmarkFolderNameDialog::confirmButton() {
    return dynamic_cast<Gtk::Button*>(get_widget_for_response(Gtk::ResponseType::OK));
}

Gtk::Button* BookmarkFolderNameDialog::cancelButton() {
    return dynamic_cast<Gtk::Button*>(get_widget_for_response(Gtk::ResponseType::CANCEL));
}

}  // namespace quorelle
