#pragma once

#include <gtkmm/applicationwindow.h>
#include <gtkmm/box.h>
#include <gtkmm/headerbar.h>
#include <sigc++/connection.h>

#include <vector>

namespace quorelle {

// Gives a browser window its title bar: an opaque header bar that shows no
// title text (the window keeps its title for the desktop's window list) and
// always shows the minimise, maximise and close buttons, with the window's
// content starting below it. The window stays decorated, closable and
// resizable, and can go full screen through the "win.toggle-fullscreen"
// action.
//
// Nothing is remembered: the settings are written again whenever the window
// or the header bar reports a change to one of them, and on every map, so
// whatever else changes them is undone. The title buttons are made afresh
// whenever the window joins an application again.
class WindowChromeConfigurator {
public:
    static constexpr const char* decorationLayout = ":minimize,maximize,close";
    static constexpr const char* fullscreenAction = "toggle-fullscreen";

    explicit WindowChromeConfigurator(Gtk::ApplicationWindow& window);
    ~WindowChromeConfigurator();
    WindowChromeConfigurator(const WindowChromeConfigurator&) = delete;
    WindowChromeConfigurator& operator=(const WindowChromeConfigurator&) = delete;

    // Writes every setting to the window again.
    void applyChrome();

    Gtk::HeaderBar& headerBar() { return *headerBar_; }

private:
    void watch();
    void rebuildTitleButtons();
    void toggleFullscreen();

    Gtk::ApplicationWindow& window_;
    Gtk::HeaderBar* headerBar_;  // owned by the window
    Gtk::Box* emptyTitle_;       // owned by the header bar
    bool applying_ = false;
    std::vector<sigc::connection> watches_;
};

}  // namespace quorelle
