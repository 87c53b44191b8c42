#pragma once

#include "model/Json.h"
#include "model/ThemeBackground.h"
#include "model/ThemeColors.h"

#include <optional>
#include <string>

namespace quorelle {

// One profile's theme: its colours, new-tab background and light/dark mode.
struct ThemeSettings {
    ThemeColors colors;
    ThemeBackground background;
    bool useDarkMode = true;
    // Only ever carried along from a file; nothing in the browser sets it.
    std::optional<std::string> customThemeName = std::nullopt;

    // The built-in default theme: the dark one unless asked otherwise.
    static ThemeSettings chromeDefault(bool dark = true);

    // The default background of the other mode gives way to this mode's
    // default, so the new-tab page never draws this mode's text on it; a
    // background the user chose stays.
    void fitDefaultBackgroundToMode();

    friend bool operator==(const ThemeSettings&, const ThemeSettings&) = default;
};

// No per-key defaults: a missing or mistyped key fails the whole theme.
void readJson(const Json& j, ThemeSettings& out);
Json toJson(const ThemeSettings& theme);

}  // namespace quorelle
