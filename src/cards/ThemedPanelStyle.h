#pragma once

#include "model/ThemeSettings.h"

#include <gtkmm/cssprovider.h>
#include <gtkmm/widget.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <string>

namespace quorelle {

class AppState;
class ViewRefresh;

// One style sheet for the widgets of one panel, made from the window state's
// theme and rebuilt on the main queue whenever the profile data changes. It
// reaches only the widgets attached to it (not their children), so each
// panel of each window wears its own window's colours.
//
// Owned by the panel it styles, and gone before the state.
class ThemedPanelStyle {
public:
    using SheetBuilder = std::function<std::string(const ThemeSettings&)>;

    ThemedPanelStyle(AppState& appState, SheetBuilder builder);
    ~ThemedPanelStyle();
    ThemedPanelStyle(const ThemedPanelStyle&) = delete;
    ThemedPanelStyle& operator=(const ThemedPanelStyle&) = delete;

    // Gives `widget` the CSS class and this sheet.
    void attach(Gtk::Widget& widget, const char* cssClass);
    // Rebuilds the sheet from the state's current theme.
    void apply();
    const std::string& styleSheet() const { return css_; }

private:
    AppState& appState_;
    SheetBuilder builder_;
    Glib::RefPtr<Gtk::CssProvider> provider_;
    std::string css_;
    std::unique_ptr<ViewRefresh> refresh_;
    sigc::connection themeConnection_;
};

}  // namespace quorelle
