#pragma once

#include "model/Color.h"
#include "model/ThemeSettings.h"

#include <gdk/gdk.h>

#include <string>

namespace quorelle {

// The window's colours, each read afresh from one field of a theme's colours.
// A field that is not a six-digit colour gives opaque black, never the text
// itself.
struct ChromeColor {
    ChromeColor() = delete;

    static Color frame(const ThemeSettings& theme) { return Color::fromHex(theme.colors.browserFrame); }
    static Color toolbar(const ThemeSettings& theme) { return Color::fromHex(theme.colors.toolbar); }
    static Color activeTab(const ThemeSettings& theme) { return Color::fromHex(theme.colors.activeTab); }
    static Color inactiveTab(const ThemeSettings& theme) { return Color::fromHex(theme.colors.inactiveTab); }
    static Color omnibox(const ThemeSettings& theme) { return Color::fromHex(theme.colors.omnibox); }
    static Color omniboxFocused(const ThemeSettings& theme) { return Color::fromHex(theme.colors.omniboxFocused); }
    static Color primaryText(const ThemeSettings& theme) { return Color::fromHex(theme.colors.primaryText); }
    static Color mutedText(const ThemeSettings& theme) { return Color::fromHex(theme.colors.mutedText); }
    static Color border(const ThemeSettings& theme) { return Color::fromHex(theme.colors.border); }
    static Color accent(const ThemeSettings& theme) { return Color::fromHex(theme.colors.accent); }

    // The fixed warning orange of insecure pages.
    static Color warningOrange() { return Color{1.0, 149.0 / 255.0, 0.0, 1.0}; }

    static GdkRGBA rgba(const Color& color, double alpha = 1.0);
    // The colour as GTK CSS writes it ("rgb(…)" or "rgba(…)"), made from the
    // numbers alone.
    static std::string css(const Color& color, double alpha = 1.0);
};

}  // namespace quorelle
