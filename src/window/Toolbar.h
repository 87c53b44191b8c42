#pragma once

#include "window/ActiveTabWatch.h"
#include "window/OmniboxField.h"

#include <giomm/menumodel.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <sigc++/connection.h>

#include <memory>
#include <vector>

namespace quorelle {

class AppState;
class CommandBus;
class ViewRefresh;

// The row below the tab strip: back, forward, reload-or-stop and home; the
// omnibox field taking the free width; then the bookmark star, the profile
// menu, the sidebar toggle and the browser menu. Only the omnibox takes the
// keyboard focus; the buttons are clicked, never focused.
//
// Commands only a tab's web view can carry out (back, forward, stop) are
// posted on the command bus with the active tab's id; everything else acts
// on the window's state. The row keeps no state of its own and redraws
// whenever the state or its active tab announces a change.
class Toolbar : public Gtk::Box {
public:
    Toolbar(std::shared_ptr<AppState> appState, CommandBus& commandBus);
    ~Toolbar() override;

    OmniboxField& omnibox() { return omnibox_; }

    Gtk::Button& backButton() { return back_; }
    Gtk::Button& forwardButton() { return forward_; }
    Gtk::Button& reloadButton() { return reload_; }
    Gtk::Button& homeButton() { return home_; }
    Gtk::Button& bookmarkButton() { return bookmark_; }
    Gtk::Button& sidebarButton() { return sidebar_; }
    // The two menus start empty; their contents are installed with the
    // setters below (or directly on the buttons).
    Gtk::MenuButton& profileMenuButton() { return profileMenu_; }
    Gtk::MenuButton& browserMenuButton() { return browserMenu_; }
    void setProfileMenuPopover(Gtk::Popover& popover) { profileMenu_.set_popover(popover); }

    // Redraws from the state at once; changes are otherwise picked up on the
    // main queue.
    void refresh();

private:
    void buildNavigationGroup();
    void buildActionGroup();
    void reloadOrStop();
    void toggleSidebar();

    std::shared_ptr<AppState> appState_;
    CommandBus& commandBus_;
    Gtk::Box navigation_;
    Gtk::Button back_;
    Gtk::Button forward_;
    Gtk::Button reload_;
    Gtk::Button home_;
    OmniboxField omnibox_;
    Gtk::Box actions_;
    Gtk::Button bookmark_;
    Gtk::MenuButton profileMenu_;
    Gtk::Button sidebar_;
    Gtk::MenuButton browserMenu_;
    std::unique_ptr<ViewRefresh> refresh_;
    ActiveTabWatch activeTab_;
    sigc::connection stateConnection_;
    std::vector<sigc::connection> buttonConnections_;
};

}  // namespace quorelle
