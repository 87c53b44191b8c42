#include "model/ThemeSettings.h"

#include "model/JsonCodec.h"

namespace quorelle {

ThemeSettings ThemeSettings::chromeDefault(bool dark) {
    return ThemeSettings{ThemeColors::chromeDefault(dark), ThemeBackground::defaultFor(dark), dark, std::nullopt};
}

void ThemeSettings::fitDefaultBackgroundToMode() {
    if (background == ThemeBackground::defaultFor(!useDarkMode)) background = ThemeBackground::defaultFor(useDarkMode);
}

void readJson(const Json& j, ThemeSettings& out) {
    ThemeSettings theme;
    theme.colors = json::req<ThemeColors>(j, "colors");
    theme.background = json::req<ThemeBackground>(j, "background");
    theme.useDarkMode = json::req<bool>(j, "useDarkMode");
    theme.customThemeName = json::opt<std::string>(j, "customThemeName");
    out = std::move(theme);
}

Json toJson(const ThemeSettings& theme) {
    Json j = Json::object();
    json::put(j, "colors", theme.colors);
    json::put(j, "background", theme.background);
    json::put(j, "useDarkMode", theme.useDarkMode);
    json::putOptional(j, "customThemeName", theme.customThemeName);
    return j;
}

}  // namespace quorelle
