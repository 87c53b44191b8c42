#pragma once

#include "window/CreateProfilePresenter.h"

#include <giomm/menu.h>
#include <giomm/simpleactiongroup.h>
#include <gtkmm/menubutton.h>
#include <glib-object.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <memory>
#include <string>
#include <vector>

namespace quorelle {

class AppState;
class CreateProfileSheet;
class ViewRefresh;

// The pull-down list behind the toolbar's "more" button: a new tab, the
// browser's own pages, the bookmarks sidebar, guest mode and profile
// creation, in four groups separated by lines.
//
// The menu installs itself on the button it is given: the menu model, and
// its actions as the "browser-menu" group of that button, so they act on
// this window's state and never collide with the window's own "win."
// commands. Which items are listed (Developer Mode, Create Profile, the guest
// item's two forms) is decided again every time the menu pops up and
// whenever the state changes; History is greyed out for guests.
//
// Opening the guest window goes through the application's "app.open-guest"
// action; leaving guest mode in the guest window closes the window the button
// is in. "Create Profile" presents the create-profile sheet over that window.
class BrowserMenu {
public:
    static constexpr const char* actionPrefix = "browser-menu";

    struct Item {
        std::string action;  // within actionPrefix
        std::string title;
        std::string icon;  // symbolic icon name
        friend bool operator==(const Item&, const Item&) = default;
    };
    using Section = std::vector<Item>;

    // What the menu lists for a state, top to bottom; a line separates
    // consecutive sections.
    static std::vector<Section> sections(const AppState& appState);

    // `button` must outlive the menu or be destroyed before it; the menu
    // lets go of a destroyed button.
    BrowserMenu(std::shared_ptr<AppState> appState, Gtk::MenuButton& button);
    ~BrowserMenu();
    BrowserMenu(const BrowserMenu&) = delete;
    BrowserMenu& operator=(const BrowserMenu&) = delete;

    Glib::RefPtr<Gio::Menu> model() const { return model_; }
    Glib::RefPtr<Gio::SimpleActionGroup> actions() const { return actions_; }

    // While true the create-profile sheet is up; the sheet clears it to close.
    bool showCreateProfile() const { return createProfile_.isShown(); }
    void setShowCreateProfile(bool show) { createProfile_.setShown(show); }
    // The sheet of the current or last presentation, if any.
    CreateProfileSheet* createProfileSheet() const { return createProfile_.sheet(); }

    // Brings the items and their enabled states up to date at once.
    void refresh();

    // Emitted after "New Tab" opened a tab, for the window to put the
    // keyboard focus where the user types next.
    sigc::signal<void()>& signalNewTabOpened() { return newTabOpened_; }

private:
    void addActions();
    void rebuildModel(const std::vector<Section>& sections);
    void navigate(const char* address);
    void toggleBookmarksSidebar();
    void exitGuestMode();
    void openGuestWindow();
    static void onButtonGone(gpointer menu, GObject* button);

    std::shared_ptr<AppState> appState_;
    Gtk::MenuButton* button_;
    Glib::RefPtr<Gio::Menu> model_;
    Glib::RefPtr<Gio::SimpleActionGroup> actions_;
    std::vector<Section> shown_;
    CreateProfilePresenter createProfile_{appState_, [this]() -> Gtk::Widget* { return button_; }};
    std::unique_ptr<ViewRefresh> refresh_;
    sigc::connection stateConnection_;
    sigc::connection popoverShown_;
    sigc::signal<void()> newTabOpened_;
};

}  // namespace quorelle
