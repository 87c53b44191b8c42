// The current profile's look and identity: presets, whole themes, single
// colours, the New Tab background and the user agent.
#include "model/Color.h"
#include "model/RecordList.h"
#include "model/ThemePreset.h"
#include "state/AppState.h"
#include "state/IIdentity.h"
#include "state/IWebContent.h"

namespace quorelle {

void AppState::applyPreset(const ThemePreset& preset) {
    if (isGuestWindow_) return;
    // The preset may be a caller's copy or a row of the table; either way it
    // is read fully before anything changes.
    const std::string presetID = preset.id;
    ThemeSettings theme = profileData.get().theme;
    theme.colors = preset.colors;
    // Light or dark by the preset's own colours: pages declare that scheme.
    theme.useDarkMode = preset.isDark();
    if (theme.useDarkMode)
        theme.background = ThemeBackground::defaultDark();
    else
        theme.fitDefaultBackgroundToMode();
    profileData.modify([&](ProfileData& d) { d.theme = std::move(theme); });
    // Recorded before the save, so the profile list on disk always names the
    // preset whose colours the profile's theme holds.
    appSettings.modify([&](AppSettings& s) {
        if (auto index = records::indexOf(s.profiles, s.selectedStartupProfileID))
            s.profiles[*index].themePresetID = presetID;
    });
    persist();
    reloadThemedInternalPages();
    if (auto tab = activeTab(); tab && tab->isInternal.get()) services_.webContent.reloadInternal(tab, *this);
}

void AppState::applyTheme(const ThemeSettings& theme) {
    profileData.modify([&](ProfileData& d) { d.theme = theme; });
    persist();
    reloadThemedInternalPages();
}

void AppState::setBackgroundImageURL(std::optional<std::string> url) {
    profileData.modify([&](ProfileData& d) {
        auto& background = d.theme.background;
        if (url && !url->empty()) {
            background.kind = ThemeBackground::BackgroundKind::image;
            background.imagePath = std::move(url);
        } else {
            background.kind = ThemeBackground::BackgroundKind::solid;
            background.imagePath = std::nullopt;
            d.theme.fitDefaultBackgroundToMode();
        }
    });
    persist();
    reloadNewTabIfActive();
}

void AppState::setUserAgentPreset(UserAgentPreset preset, std::optional<std::string> custom) {
    profileData.modify([&](ProfileData& d) {
        d.settings.userAgent.preset = preset;
        if (custom) d.settings.userAgent.customValue = std::move(*custom);
    });
    persist();
    services_.identity.applyUserAgentToAllTabs(*this, false);
}

void AppState::reloadThemedInternalPages() {
    const auto all = tabs.get();  // a reload must not disturb the walk
    for (const auto& tab : all)
        if (tab->isInternal.get()) services_.webContent.reloadInternal(tab, *this);
}

void AppState::updateThemeColor(std::string_view key, std::string_view value) {
    if (isGuestWindow_) return;
    // Colours end up in the internal pages' style sheets: only "#rrggbb"
    // is taken, anything else is dropped without a trace.
    if (!isValidHexColor(value)) return;
    ThemeColors colors = profileData.get().theme.colors;
    if (std::string* field = colors.field(key)) *field = std::string(value);
    profileData.modify([&](ProfileData& d) { d.theme.colors = std::move(colors); });
    persist();
    reloadThemedInternalPages();
}

}  // namespace quorelle
