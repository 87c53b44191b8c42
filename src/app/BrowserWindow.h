#pragma once

#include "app/BrowserServices.h"
#include "app/RootView.h"
#include "app/WindowControls.h"
#include "window/MenuCommands.h"
#include "window/ThemeEnvironment.h"
#include "window/WindowChromeConfigurator.h"

#include <gtkmm/applicationwindow.h>

#include <memory>

namespace quorelle {

class AppState;

// One browser window showing one state: the root view under the browser's
// title bar, styled from the state's theme, with the menu commands bound to
// this window's state. It can never be made smaller than 800 × 600.
class BrowserWindow : public Gtk::ApplicationWindow {
public:
    static constexpr int minimumWidth = 800;
    static constexpr int minimumHeight = 600;

    BrowserWindow(std::shared_ptr<AppState> appState, BrowserServices& services, const WindowOptions& options);
    ~BrowserWindow() override;

    const std::shared_ptr<AppState>& appState() const { return appState_; }
    RootView& rootView() { return rootView_; }
    BrowserView& browserView() { return rootView_.browserView(); }
    WindowChromeConfigurator& chrome() { return chrome_; }
    ThemeEnvironment& themeEnvironment() { return theme_; }
    MenuCommands& menuCommands() { return commands_; }
    WindowControls& controls() { return controls_; }

private:
    std::shared_ptr<AppState> appState_;
    WindowChromeConfigurator chrome_;
    ThemeEnvironment theme_;
    RootView rootView_;
    WindowControls controls_;
    MenuCommands commands_;
};

}  // namespace quorelle
