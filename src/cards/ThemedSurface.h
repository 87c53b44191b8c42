#pragma once

#include "model/ThemeSettings.h"

#include <gtkmm/cssprovider.h>
#include <gtkmm/widget.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorelle {

class AppState;
class ViewRefresh;

// Paints one widget of a card from the window's theme: the widget gets a
// style sheet of its own holding the declarations `declarations` makes from
// the current theme, rebuilt on the main queue whenever the profile (and so
// perhaps the theme) changes. Only that widget is styled, not its children.
//
// The declarations must take their colours from parsed colours
// (ChromeColor), never from theme text. Owned by the card; the widget and
// the state must outlive it.
class ThemedSurface {
public:
    using Declarations = std::function<std::string(const ThemeSettings&)>;

    static constexpr const char* styleClass = "vx-themed-surface";

    // The declaration every sheet and card starts from: the theme's toolbar
    // colour as the background.
    static std::string toolbarBackground(const ThemeSettings& theme);

    ThemedSurface(AppState& appState, Gtk::Widget& widget, Declarations declarations);
    ~ThemedSurface();
    ThemedSurface(const ThemedSurface&) = delete;
    ThemedSurface& operator=(const ThemedSurface&) = delete;

    // Rebuilds the sheet when the theme differs from the one applied.
    void apply();
    const std::string& styleSheet() const { return css_; }

private:
    AppState& appState_;
    Gtk::Widget& widget_;
    Declarations declarations_;
    Glib::RefPtr<Gtk::CssProvider> provider_;
    std::optional<ThemeSettings> applied_;
    std::string css_;
    std::unique_ptr<ViewRefresh> refresh_;
    sigc::connection connection_;
};

}  // namespace quorelle
