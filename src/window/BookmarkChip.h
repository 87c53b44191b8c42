#pragma once

#include "model/Bookmark.h"
#include "model/BookmarkFolder.h"
#include "window/FaviconView.h"
#include "window/SecondaryClickMenu.h"

#include <giomm/menu.h>
#include <giomm/simpleactiongroup.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/popovermenu.h>
#include <sigc++/connection.h>

#include <functional>
#include <vector>

namespace quorelle {

class AppState;
class FaviconImageCache;

// One top-level bookmark on the bookmarks bar: a flat button holding the
// page's icon (14 points) and the bookmark's title on one line. A click
// loads the bookmark in the active tab. A secondary click opens its menu:
// Edit, Delete, Add Custom Icon and a "Move to Folder" submenu (None, then
// each folder in the bar's order).
//
// The chip draws the record it was made with; the bar makes a new chip when
// the record changes. Its menu is built the first time it opens. Editing
// belongs to the bar, which the chip asks through `onEdit`; every other
// action is one operation of the state. The menu's actions live in the
// chip's "bookmark" action group.
class BookmarkChip : public Gtk::Button {
public:
    static constexpr double iconSize = 14;

    BookmarkChip(AppState& appState, Bookmark bookmark, const std::vector<BookmarkFolder>& folders,
                 FaviconImageCache& images, std::function<void(const Bookmark&)> onEdit);
    ~BookmarkChip() override;

    const Bookmark& bookmark() const { return bookmark_; }
    FaviconView& favicon() { return favicon_; }
    Gtk::Label& titleLabel() { return title_; }
    // The context menu, built on first use.
    Gtk::PopoverMenu& contextMenu() { return contextMenu_.menu(); }
    Glib::RefPtr<Gio::Menu> contextMenuModel();
    Glib::RefPtr<Gio::SimpleActionGroup> actions() const { return actions_; }

private:
    void buildContent();
    void buildActions();
    void moveToFolder(const Glib::VariantBase& parameter);

    AppState& appState_;
    Bookmark bookmark_;
    std::vector<BookmarkFolder> folders_;  // the "Move to Folder" choices
    std::function<void(const Bookmark&)> onEdit_;
    Gtk::Box content_;
    FaviconView favicon_;
    Gtk::Label title_;
    Glib::RefPtr<Gio::Menu> menuModel_;
    Glib::RefPtr<Gio::SimpleActionGroup> actions_;
    SecondaryClickMenu contextMenu_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
