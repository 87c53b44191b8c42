#pragma once

#include "model/ThemeColors.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

// A built-in named colour set. Never stored: a profile keeps only the id of
// the preset it last took and a copy of its colours.
struct ThemePreset {
    std::string id;
    std::string name;
    ThemeColors colors;

    // The fifteen presets in picker order. Built once, on first use.
    static const std::vector<ThemePreset>& all();
    // The row with exactly that id, or null.
    static const ThemePreset* find(std::string_view id);
    // Applied as a dark theme exactly when its colours are dark ("black",
    // "midnight"); every other preset is a light one.
    bool isDark() const { return colors.isDark(); }

    friend bool operator==(const ThemePreset&, const ThemePreset&) = default;
};

}  // namespace quorelle
