#include "model/ThemePreset.h"
#include "support/StateTestSupport.h"

namespace quorelle::testing {
namespace {

class ThemesTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();  // the New Tab page is loaded and in front
        web_.internalReloads.clear();
    }
    static const ThemePreset& preset(std::string_view id) { return *ThemePreset::find(id); }
    ThemeSettings themeOnDisk() { return store_->loadProfileData("default").theme; }
    // Adds a tab that has a web view showing `address`, and selects the first tab again.
    AppState::TabPtr openTab(const std::string& address) {
        state->newTab(address);
        auto tab = state->tabs.get().back();
        web_.navigate(tab, address, *state, false);
        state->selectTab(state->tabs.get().front());
        web_.internalReloads.clear();
        return tab;
    }
    std::shared_ptr<AppState> state;
};

// ---- presets --------------------------------------------------------------------

TEST_F(ThemesTest, DarkPresetsAreAppliedAsDarkThemesWithTheDarkBackground) {
    state->setBackgroundImageURL("https://img.example/bg");
    state->applyPreset(preset("midnight"));
    EXPECT_EQ(state->theme().colors, preset("midnight").colors);
    EXPECT_TRUE(state->theme().useDarkMode);
    EXPECT_EQ(state->theme().background, ThemeBackground::defaultDark());
    EXPECT_EQ(themeOnDisk(), state->theme());
}

// Light colour sets (the tinted ones and "bw" too) are light themes: the dark
// default background gives way to the light one, a chosen background stays,
// and clearing a chosen image never brings the dark default back.
TEST_F(ThemesTest, LightPresetsAreLightThemesOverALightOrChosenBackground) {
    for (const char* id : {"white", "chrome", "red", "bw"}) {
        state->applyDarkDefaultTheme();
        state->applyPreset(preset(id));
        EXPECT_FALSE(state->theme().useDarkMode) << id;
        EXPECT_EQ(state->theme().background, ThemeBackground::defaultLight()) << id;
    }
    state->applyDarkDefaultTheme();
    state->setBackgroundImageURL("https://img.example/bg");
    const auto chosen = state->theme().background;
    state->applyPreset(preset("blue"));
    EXPECT_EQ(state->theme().background, chosen);
    state->setBackgroundImageURL(std::nullopt);
    EXPECT_EQ(state->theme().background, ThemeBackground::defaultLight());
    EXPECT_EQ(themeOnDisk(), state->theme());
}

TEST_F(ThemesTest, PresetIdIsSavedTogetherWithItsColours) {
    state->applyPreset(preset("ocean"));
    // Nothing else is saved afterwards: a quit here must not leave a stale id.
    const auto onDisk = store_->loadAppSettings().value;
    EXPECT_EQ(onDisk.profiles.front().id, "default");
    EXPECT_EQ(onDisk.profiles.front().themePresetID, "ocean");
    EXPECT_EQ(themeOnDisk().colors, preset("ocean").colors);
}

TEST_F(ThemesTest, PresetReloadsEveryInternalTabAndTheActiveOneOnceMore) {
    auto settingsTab = openTab("vx://settings");
    auto webTab = openTab("https://a.example");
    const auto front = state->tabs.get().front()->id();
    state->applyPreset(preset("black"));
    EXPECT_EQ(web_.internalReloads, (std::vector<Uuid>{front, settingsTab->id(), front}));
}

TEST_F(ThemesTest, PresetInAGuestWindowChangesNothing) {
    auto guest = makeState(true);
    drain();
    const auto theme = guest->theme();
    const auto settings = guest->appSettings.get();
    web_.internalReloads.clear();
    guest->applyPreset(preset("white"));
    EXPECT_EQ(guest->theme(), theme);
    EXPECT_EQ(guest->appSettings.get(), settings);
    EXPECT_TRUE(web_.internalReloads.empty());
}

// ---- whole themes and backgrounds --------------------------------------------

TEST_F(ThemesTest, ApplyThemeReplacesTheWholeThemeAndSaves) {
    auto theme = ThemeSettings::chromeDefault(false);
    theme.customThemeName = "Mine";
    state->applyTheme(theme);
    EXPECT_EQ(state->theme(), theme);
    EXPECT_EQ(themeOnDisk(), theme);
    EXPECT_EQ(web_.internalReloads.size(), 1u);
}

TEST_F(ThemesTest, ApplyThemeInAGuestWindowStaysInMemory) {
    auto guest = makeState(true);
    drain();
    const auto before = snapshot();
    guest->applyTheme(ThemeSettings::chromeDefault(false));
    EXPECT_EQ(guest->theme(), ThemeSettings::chromeDefault(false));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ThemesTest, BackgroundImageAndItsRemoval) {
    const auto colour = state->theme().background.solidColor;
    state->setBackgroundImageURL("file:///home/me/bg.png");
    EXPECT_EQ(state->theme().background.kind, ThemeBackground::BackgroundKind::image);
    EXPECT_EQ(state->theme().background.imagePath, "file:///home/me/bg.png");
    EXPECT_EQ(themeOnDisk().background.imagePath, "file:///home/me/bg.png");
    EXPECT_EQ(web_.internalReloads.size(), 1u);  // the New Tab page is in front

    state->setBackgroundImageURL("");
    EXPECT_EQ(state->theme().background.kind, ThemeBackground::BackgroundKind::solid);
    EXPECT_FALSE(state->theme().background.imagePath);
    EXPECT_EQ(state->theme().background.solidColor, colour);

    state->setBackgroundImageURL("x");
    state->setBackgroundImageURL(std::nullopt);
    EXPECT_EQ(themeOnDisk().background.kind, ThemeBackground::BackgroundKind::solid);
    EXPECT_FALSE(themeOnDisk().background.imagePath);
}

// ---- user agent -----------------------------------------------------------------

TEST_F(ThemesTest, UserAgentPresetIsSavedAndAppliedToTabsThatAreNotBusy) {
    state->setUserAgentPreset(UserAgentPreset::custom, "MyAgent/1.0");
    state->setUserAgentPreset(UserAgentPreset::iphoneSafari, std::nullopt);
    const auto agent = state->settings().userAgent;
    EXPECT_EQ(agent.preset, UserAgentPreset::iphoneSafari);
    EXPECT_EQ(agent.customValue, "MyAgent/1.0");
    EXPECT_EQ(store_->loadProfileData("default").settings.userAgent, agent);
    EXPECT_EQ(web_.userAgentApplications, (std::vector<bool>{false, false}));
}

// ---- single colours -----------------------------------------------------------

TEST_F(ThemesTest, ColourEditStoresTheValueAsTypedAndReloadsInternalPages) {
    state->updateThemeColor("accent", "#ABCdef");
    state->updateThemeColor("internalPageBackground", "#010203");
    EXPECT_EQ(state->theme().colors.accent, "#ABCdef");
    EXPECT_EQ(themeOnDisk().colors.accent, "#ABCdef");
    EXPECT_EQ(themeOnDisk().colors.internalPageBackground, "#010203");
    EXPECT_EQ(web_.internalReloads.size(), 2u);
}

TEST_F(ThemesTest, ColourEditWithAnUnknownKeyChangesNoColourButStillSaves) {
    const auto colors = state->theme().colors;
    state->profileData.modify([](ProfileData& d) { d.bookmarks.push_back(Bookmark{}); });
    state->updateThemeColor("Accent", "#123456");
    EXPECT_EQ(state->theme().colors, colors);
    EXPECT_EQ(store_->loadProfileData("default").bookmarks.size(), 1u);
    EXPECT_EQ(web_.internalReloads.size(), 1u);
}

TEST_F(ThemesTest, ColourEditsThatAreNotHexColoursAreRefused) {
    const auto colors = state->theme().colors;
    const auto before = snapshot();
    for (const std::string value : {"red", "#12345", "#1234567", "123456", " #123456", "#12345g", "",
                                    "#000000;}</style><script>alert(1)</script>", "#12\n3456"})
        state->updateThemeColor("accent", value);
    EXPECT_EQ(state->theme().colors, colors);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(web_.internalReloads.empty());
}

TEST_F(ThemesTest, ColourEditsInAGuestWindowAreIgnored) {
    auto guest = makeState(true);
    drain();
    const auto colors = guest->theme().colors;
    web_.internalReloads.clear();
    guest->updateThemeColor("accent", "#123456");
    EXPECT_EQ(guest->theme().colors, colors);
    EXPECT_TRUE(web_.internalReloads.empty());
}

}  // namespace
}  // namespace quorelle::testing
