#pragma once

#include "cards/BookmarkFolderPicker.h"
#include "cards/TwoWayBinding.h"
#include "model/Uuid.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/connection.h>

#include <memory>
#include <optional>
#include <vector>

namespace quorelle {

class AppState;
class ThemedSurface;
class ViewRefresh;

// Creates a bookmark from a title, an address, a folder and an optional
// custom icon address. The form is the card's own and starts empty, at the
// top level, on every presentation. "Save" is offered only while the
// address holds something besides white space; it stores the trimmed
// address, the title as typed (the trimmed address when the title is empty)
// and the icon address as typed (none when empty), then closes. "Cancel"
// closes without creating anything. The card closes by writing false to
// `isPresented`.
//
// A column 380 points wide, as high as its container, scrolling vertically,
// on the theme's toolbar colour.
class NewBookmarkSheet : public Gtk::ScrolledWindow {
public:
    static constexpr double width = 380;

    NewBookmarkSheet(AppState& appState, TwoWayBinding<bool> isPresented);
    ~NewBookmarkSheet() override;

    Gtk::Label& heading() { return heading_; }
    Gtk::Entry& titleField() { return title_; }
    Gtk::Entry& urlField() { return url_; }
    BookmarkFolderPicker& folderPicker() { return folders_; }
    Gtk::Entry& customIconField() { return customIcon_; }
    Gtk::Button& saveButton() { return save_; }
    Gtk::Button& cancelButton() { return cancel_; }
    const std::optional<Uuid>& folderID() const { return folderID_; }
    const ThemedSurface& surface() const { return *surface_; }

    // Redraws the folder list from the profile at once; changes are
    // otherwise picked up on the main queue.
    void refresh();

private:
    void buildLayout();
    void updateSaveButton();
    void save();
    void close();

    AppState& appState_;
    TwoWayBinding<bool> isPresented_;
    std::optional<Uuid> folderID_;

    Gtk::Box column_;
    Gtk::Label heading_;
    Gtk::Entry title_;
    Gtk::Entry url_;
    BookmarkFolderPicker folders_;
    Gtk::Entry customIcon_;
    Gtk::Box buttons_;
    Gtk::Button save_;
    Gtk::Button cancel_;

    std::unique_ptr<ThemedSurface> surface_;
    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
