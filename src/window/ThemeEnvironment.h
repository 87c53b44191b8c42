#pragma once

#include "model/ThemeSettings.h"

#include <gtkmm/cssprovider.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

class AppState;
class ViewRefresh;

// Styles one window's own controls from its state's theme. It tags the
// window with its CSS class (vx-main or vx-guest) and owns one style sheet,
// scoped by that class, for the window's display; the sheet is rebuilt from
// the theme each time the theme changes, so the two windows can wear
// different themes. The main window also picks the application-wide light
// or dark preference, which stock widgets follow.
//
// Made and owned by the window it styles, and gone before it.
//
// Every colour in the sheet comes from a parsed colour; no theme text is
// ever copied into it.
class ThemeEnvironment {
public:
    ThemeEnvironment(std::shared_ptr<AppState> appState, Gtk::Window& window);
    ~ThemeEnvironment();
    ThemeEnvironment(const ThemeEnvironment&) = delete;
    ThemeEnvironment& operator=(const ThemeEnvironment&) = delete;

    static const char* windowClass(bool guestWindow);
    // The window's style sheet for `theme`, every selector under `.windowClass`.
    static std::string styleSheet(const ThemeSettings& theme, std::string_view windowClass);

    // What the window wears now.
    const std::string& styleSheet() const { return css_; }
    const ThemeSettings& appliedTheme() const { return *applied_; }

    // Rebuilds the sheet from the state's current theme when it differs from
    // the one applied; changes are otherwise picked up on the main queue.
    void apply();

    // After a new sheet has been loaded.
    sigc::signal<void()>& signalThemeApplied() { return themeApplied_; }

private:
    std::shared_ptr<AppState> appState_;
    Gtk::Window& window_;
    const char* windowClass_;
    Glib::RefPtr<Gtk::CssProvider> provider_;
    Glib::RefPtr<Gdk::Display> display_;
    std::optional<ThemeSettings> applied_;
    std::string css_;
    std::unique_ptr<ViewRefresh> refresh_;
    sigc::connection profileConnection_;
    sigc::signal<void()> themeApplied_;
};

}  // namespace quorelle
