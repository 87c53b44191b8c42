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
    // Only "chrome" and "white" are applied as light themes; every other id,
    // light-coloured presets included, is applied as a dark one.
    static bool isLightPresetID(std::string_view id);
    bool isLight() const { return isLightPresetID(id); }

    friend bool operator==(const ThemePreset&, const ThemePreset&) = default;
};

}  // namespace quorelle
