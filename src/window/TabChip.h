#pragma once

#include "model/Color.h"
#include "state/AppState.h"
#include "window/FaviconView.h"

#include <giomm/menu.h>
#include <giomm/simpleactiongroup.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/label.h>
#include <gtkmm/popovermenu.h>
#include <sigc++/connection.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorelle {

class FaviconImageCache;
class ViewRefresh;

// One tab in the tab strip: the page's icon, its title on one line (at most
// 150 points wide) and a close button (an 8-point bold cross, with no hover
// look of its own). A click anywhere but on the close
// button selects the tab; a secondary click opens the tab's menu (Close,
// Duplicate, Pin or Unpin, Reload, New Tab to Right, New Tab to Left). Each
// action is one operation of the window's state on this chip's tab.
//
// The chip follows its tab's own announcements; whether it is the active tab
// and its group's colour are set by the strip. The menu's actions live in the
// chip's "tab" action group.
class TabChip : public Gtk::Box {
public:
    static constexpr double iconSize = 16;
    static constexpr double titleMaxWidth = 150;
    static constexpr double titleFontSize = 12;
    static constexpr double closeSize = 18;
    static constexpr double closeGlyphSize = 8;
    static constexpr double paddingH = 12;
    static constexpr double paddingV = 7;
    static constexpr double groupBarHeight = 2;
    static constexpr double groupBarInset = 10;

    TabChip(AppState& appState, AppState::TabPtr tab, FaviconImageCache& images);
    ~TabChip() override;

    const AppState::TabPtr& tab() const { return tab_; }

    void setActive(bool active);
    bool isActive() const { return active_; }
    // The colour of the bar under the chip; nothing draws no bar.
    void setGroupColor(std::optional<Color> color);
    const std::optional<Color>& groupColor() const { return groupColor_; }

    // Redraws from the tab at once; its changes are otherwise picked up on
    // the main queue.
    void refresh();

    FaviconView& favicon() { return favicon_; }
    Gtk::Label& titleLabel() { return title_; }
    Gtk::Button& closeButton() { return close_; }
    Gtk::PopoverMenu& contextMenu() { return menu_; }
    Glib::RefPtr<Gio::MenuModel> contextMenuModel() const { return menuModel_; }
    Glib::RefPtr<Gio::SimpleActionGroup> actions() const { return actions_; }
    Glib::RefPtr<Gtk::GestureClick> primaryClick() const { return primaryClick_; }
    Glib::RefPtr<Gtk::GestureClick> secondaryClick() const { return secondaryClick_; }

    // The menu's items as "label" and "tab.action" pairs, in order.
    static std::vector<std::pair<std::string, std::string>> menuItems(bool pinned);

    // The title: one line at its own width, cut with an ellipsis beyond the
    // widest it may be; never narrower for lack of room.
    class Title : public Gtk::Label {
    public:
        explicit Title(double maxWidth) : maxWidth_(maxWidth) {}

    protected:
        void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                           int& minimumBaseline, int& naturalBaseline) const override;

    private:
        double maxWidth_;
    };

    // The close button's glyph: a bold cross filling a small square, in the
    // button's text colour.
    class CloseGlyph : public Gtk::Widget {
    public:
        explicit CloseGlyph(double side) : side_(side) {}

    protected:
        void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                           int& minimumBaseline, int& naturalBaseline) const override;
        void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

    private:
        double side_;
    };

protected:
    void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

private:
    void buildContent();
    void buildActions();
    void buildGestures();
    void rebuildMenu();
    void onPrimaryReleased(int presses, double x, double y);
    void onSecondaryPressed(int presses, double x, double y);
    bool isOnCloseButton(double x, double y);

    AppState& appState_;
    AppState::TabPtr tab_;
    bool active_ = false;
    bool menuPinned_ = false;
    std::optional<Color> groupColor_;
    FaviconView favicon_;
    Title title_;
    Gtk::Button close_;
    CloseGlyph closeGlyph_;
    Glib::RefPtr<Gio::Menu> menuModel_;
    Gtk::PopoverMenu menu_;
    Glib::RefPtr<Gio::SimpleActionGroup> actions_;
    Glib::RefPtr<Gtk::GestureClick> primaryClick_;
    Glib::RefPtr<Gtk::GestureClick> secondaryClick_;
    std::unique_ptr<ViewRefresh> refresh_;
    sigc::connection tabConnection_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
