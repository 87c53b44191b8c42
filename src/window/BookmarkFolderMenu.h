#pragma once

#include "model/Bookmark.h"
#include "model/BookmarkFolder.h"
#include "window/SecondaryClickMenu.h"

#include <giomm/menu.h>
#include <giomm/simpleactiongroup.h>
#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popovermenu.h>
#include <sigc++/connection.h>

#include <functional>
#include <vector>

namespace quorelle {

class AppState;

// One bookmark folder on the bookmarks bar: a pull-down menu whose button
// shows a folder symbol and the folder's name. The menu lists the folder's
// bookmarks (each loads in the active tab), or "Empty folder", then Rename
// Folder, Delete Folder, Add Bookmark to Folder and New Folder. A secondary
// click on the button opens the same four folder actions in the order New
// Folder, Delete Folder, Rename Folder, Add Bookmark to Folder.
//
// The control draws the folder and bookmarks it was made with; the bar
// makes a new one when they change. Each menu is built the first time it
// opens (a folder may hold thousands of bookmarks, and most menus are never
// opened). Naming folders belongs to the bar, which the control asks through
// its two callbacks; the other actions are operations of the state. Actions
// live in the control's "folder" group; entry i of the pull-down is the
// action "open-i", made with the menu.
class BookmarkFolderMenu : public Gtk::MenuButton {
public:
    static constexpr double symbolSize = 11;

    struct Callbacks {
        std::function<void(const BookmarkFolder&)> rename;
        std::function<void()> newFolder;
    };

    BookmarkFolderMenu(AppState& appState, BookmarkFolder folder, std::vector<Bookmark> bookmarks,
                       Callbacks callbacks);
    ~BookmarkFolderMenu() override;

    const BookmarkFolder& folder() const { return folder_; }
    const std::vector<Bookmark>& bookmarks() const { return bookmarks_; }
    Gtk::Image& symbol() { return symbol_; }
    Gtk::Label& titleLabel() { return title_; }
    // The menus, built on first use.
    Glib::RefPtr<Gio::Menu> menuModel();
    Gtk::PopoverMenu& contextMenu() { return contextMenu_.menu(); }
    Glib::RefPtr<Gio::Menu> contextMenuModel();
    Glib::RefPtr<Gio::SimpleActionGroup> actions() const { return actions_; }

private:
    void buildContent();
    void buildActions();
    void prepareToggle();
    void buildPullDown();

    AppState& appState_;
    BookmarkFolder folder_;
    std::vector<Bookmark> bookmarks_;
    Callbacks callbacks_;
    Gtk::Box content_;
    Gtk::Image symbol_;
    Gtk::Label title_;
    Glib::RefPtr<Gio::Menu> menuModel_;
    Glib::RefPtr<Gio::Menu> contextMenuModel_;
    Glib::RefPtr<Gio::SimpleActionGroup> actions_;
    SecondaryClickMenu contextMenu_;
    sigc::connection opened_;
};

}  // namespace quorelle
