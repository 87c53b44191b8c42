#pragma once

#include <giomm/menu.h>
#include <gtkmm/application.h>
#include <gtkmm/applicationwindow.h>
#include <gtkmm/shortcutcontroller.h>
#include <sigc++/signal.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

class AppState;
class CommandBus;

// The menu bar's commands and their keyboard shortcuts: New Tab, Close Tab,
// Open File and Quit; the Go menu (Back, Forward, Reload, Home, Settings);
// the Developer menu (Inspect).
//
// Each window gets its own "win." actions bound to its own state, so a
// command always acts on the state of the window it was given in, the guest
// window's too. Back, Forward, Reload and Inspect never touch a web view:
// they post the per-tab command with the active tab's id, and only that
// tab's view acts. Nothing is ever disabled. Quit is the application's own
// "app.quit", which the application provides.
//
// The shortcuts are both the application's accelerators and a capture-phase
// shortcut controller on the window, so neither a focused page nor a text
// field can swallow them. A menu item shows its command's first shortcut.
class MenuCommands {
public:
    // Opens a local file in the given state (nullptr: no browser window).
    using OpenFile = std::function<void(AppState*)>;

    struct Command {
        const char* action;  // the action's name within its group
        const char* title;
        std::vector<const char*> accelerators;  // the first is the one the menu shows
        const char* group = "win";              // "app": the application's, not the window's
        std::string detailedAction() const { return std::string(group) + "." + action; }
    };
    // In menu order.
    static const std::vector<Command>& commands();

    // File, Go and Developer, with their items on the commands' actions.
    static Glib::RefPtr<Gio::Menu> menuModel();
    static void registerAccelerators(Gtk::Application& application);
    // Lets a modal window of the browser's (a sheet, a prompt) take the
    // application's own shortcuts too, such as Quit: they run on the window
    // it is transient for. Without it the application's shortcuts reach only
    // its browser windows.
    static void forwardApplicationShortcuts(Gtk::Window& modal);

    // What a window command does, bound to one window's state. An action
    // that names no window command is a mistake in the table above, and
    // throws std::invalid_argument.
    static std::function<void()> handler(std::string_view action, AppState* state, CommandBus& commandBus,
                                         const OpenFile& openFile);

    MenuCommands(Gtk::ApplicationWindow& window, std::shared_ptr<AppState> appState, CommandBus& commandBus,
                 OpenFile openFile = {});
    ~MenuCommands();
    MenuCommands(const MenuCommands&) = delete;
    MenuCommands& operator=(const MenuCommands&) = delete;

    Glib::RefPtr<Gtk::ShortcutController> shortcutController() const { return shortcuts_; }
    // New Tab has opened a tab in this window, now the active one; the
    // window puts the keyboard focus in its omnibox.
    sigc::signal<void()>& signalNewTabOpened() { return newTabOpened_; }

    // ---- the commands; `state` is nullptr when no browser window is focused --
    static void newTab(AppState* state);
    static void closeTab(AppState* state);
    static void openSettings(AppState* state);
    static void goHome(AppState* state);
    static void goBack(AppState* state, CommandBus& commandBus);
    static void goForward(AppState* state, CommandBus& commandBus);
    static void reload(AppState* state, CommandBus& commandBus);
    static void inspect(AppState* state, CommandBus& commandBus);
    // Where Home goes: the homepage text when new tabs open the homepage,
    // otherwise the new-tab page.
    static std::string homeTarget(const AppState* state);

private:
    void installActions();
    void installShortcuts();

    Gtk::ApplicationWindow& window_;
    std::shared_ptr<AppState> appState_;
    CommandBus& commandBus_;
    OpenFile openFile_;
    Glib::RefPtr<Gtk::ShortcutController> shortcuts_;
    sigc::signal<void()> newTabOpened_;
};

}  // namespace quorelle
