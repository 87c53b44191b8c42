#pragma once

#include "model/Bookmark.h"
#include "model/BookmarkFolder.h"
#include "window/FaviconView.h"

#include <giomm/menu.h>
#include <giomm/simpleactiongroup.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/label.h>
#include <gtkmm/popovermenu.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <string_view>
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
    static constexpr double titleFontSize = 12;
    static constexpr double contentSpacing = 5;
    static constexpr double paddingH = 10;
    static constexpr double paddingV = 5;

    BookmarkChip(AppState& appState, Bookmark bookmark, const std::vector<BookmarkFolder>& folders,
                 FaviconImageCache& images, std::function<void(const Bookmark&)> onEdit);
    ~BookmarkChip() override;

    const Bookmark& bookmark() const { return bookmark_; }
    FaviconView& favicon() { return favicon_; }
    Gtk::Label& titleLabel() { return title_; }
    // The context menu, built on first use.
    Gtk::PopoverMenu& contextMenu();
    Glib::RefPtr<Gio::Menu> contextMenuModel();
    Glib::RefPtr<Gio::SimpleActionGroup> actions() const { return actions_; }
    Glib::RefPtr<Gtk::GestureClick> secondaryClick() const { return secondaryClick_; }

    // A menu label showing `text` as written (user text has no mnemonics).
    static Glib::ustring plainMenuLabel(std::string_view text);

    // Opens the context menu at the chip.
    void popupMenu();

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
    std::unique_ptr<Gtk::PopoverMenu> menu_;
    Glib::RefPtr<Gio::SimpleActionGroup> actions_;
    Glib::RefPtr<Gtk::GestureClick> secondaryClick_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
