#include "model/ThemePreset.h"

#include "model/RecordList.h"

namespace quorelle {
namespace {

// The light default with a pale tint on the frame and page backgrounds and a
// strong colour on the accent and buttons.
ThemeColors tinted(const char* tint, const char* strong) {
    ThemeColors colors = ThemeColors::chromeDefaultLight();
    colors.browserFrame = tint;
    colors.newTabBackground = tint;
    colors.internalPageBackground = tint;
    colors.accent = strong;
    colors.button = strong;
    return colors;
}

ThemeColors blackAndWhite() {
    return ThemeColors{"#ffffff", "#ffffff", "#ffffff", "#f5f5f5", "#f5f5f5", "#ffffff", "#000000", "#666666",
                       "#cccccc", "#000000", "#000000", "#ffffff", "#ffffff", "#ffffff", "#ffffff"};
}

ThemeColors midnight() {
    return ThemeColors{"#0d1117", "#161b22", "#161b22", "#0d1117", "#0d1117", "#161b22", "#c9d1d9", "#8b949e",
                       "#30363d", "#58a6ff", "#58a6ff", "#0d1117", "#0d1117", "#161b22", "#0d1117"};
}

std::vector<ThemePreset> makePresets() {
    const ThemeColors& light = ThemeColors::chromeDefaultLight();
    return {
        {"chrome", "Chrome Default", light},
        {"red", "Red", tinted("#fce8e6", "#d93025")},
        {"orange", "Orange", tinted("#feefe3", "#e8710a")},
        {"yellow", "Yellow", tinted("#fef7e0", "#f9ab00")},
        {"green", "Green", tinted("#e6f4ea", "#1e8e3e")},
        {"blue", "Blue", tinted("#e8f0fe", "#1a73e8")},
        {"indigo", "Indigo", tinted("#e8eaf6", "#3f51b5")},
        {"violet", "Violet", tinted("#f3e8fd", "#9334e6")},
        {"black", "Black", ThemeColors::chromeDefaultDark()},
        {"white", "White", light},
        {"bw", "Black & White", blackAndWhite()},
        {"ocean", "Ocean", tinted("#e0f7fa", "#00796b")},
        {"forest", "Forest", tinted("#e8f5e9", "#2e7d32")},
        {"sunset", "Sunset", tinted("#fff3e0", "#e65100")},
        {"midnight", "Midnight", midnight()},
    };
}

}  // namespace

const std::vector<ThemePreset>& ThemePreset::all() {
    static const std::vector<ThemePreset> presets = makePresets();
    return presets;
}

const ThemePreset* ThemePreset::find(std::string_view id) { return records::find(all(), id); }

}  // namespace quorelle
