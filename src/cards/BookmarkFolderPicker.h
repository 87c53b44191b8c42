#pragma once

#include "model/BookmarkFolder.h"
#include "model/Uuid.h"

#include <gtkmm/box.h>
#include <gtkmm/dropdown.h>
#include <gtkmm/label.h>
#include <gtkmm/stringlist.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

// The "Folder" picker of the bookmark sheets: a label and a drop-down whose
// entries are "None" and then the profile's folders by ascending sort order
// (equal orders keep the stored order). Each entry stands for a selection
// string: "" for "None", the folder id's canonical text for a folder.
//
// The picker only shows a selection; the owner keeps the value, sets it with
// setSelection() and hears the user's choices through signalPicked(). A
// selection that names no listed folder shows no entry.
class BookmarkFolderPicker : public Gtk::Box {
public:
    static constexpr std::string_view noneTitle = "None";

    BookmarkFolderPicker();
    ~BookmarkFolderPicker() override;

    // The selection string standing for a folder id, and back again (a text
    // that is not an id gives no folder).
    static std::string selectionFor(const std::optional<Uuid>& folderID);
    static std::optional<Uuid> folderIDFor(std::string_view selection);

    // Lists these folders; the shown selection is kept when it is still listed.
    void setFolders(const std::vector<BookmarkFolder>& folders);
    void setSelection(std::string_view selection);
    const std::string& selection() const { return selection_; }
    // The entries' selection strings and titles, in picker order.
    const std::vector<std::string>& entryValues() const { return values_; }
    std::vector<std::string> entryTitles() const;

    Gtk::DropDown& dropDown() { return dropDown_; }
    Gtk::Label& label() { return label_; }

    // After the user chose an entry; carries its selection string.
    sigc::signal<void(const std::string&)>& signalPicked() { return picked_; }

private:
    void showSelection();
    void onSelectedChanged();

    Gtk::Label label_;
    Gtk::DropDown dropDown_;
    Glib::RefPtr<Gtk::StringList> entries_;
    std::vector<std::string> values_;
    std::vector<std::string> titles_;
    std::string selection_;
    bool updating_ = false;
    sigc::connection selectedConnection_;
    sigc::signal<void(const std::string&)> picked_;
};

}  // namespace quorelle
