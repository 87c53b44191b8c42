// The new-tab customiser over the window, presented while the state's flag
// is raised. The active tab shows the new-tab page.
#include "cards/CardTestSupport.h"
#include "cards/NewTabCustomizeOverlay.h"
#include "cards/ThemedSurface.h"
#include "model/ThemePreset.h"
#include "window/ChromeColor.h"

#include <algorithm>

namespace quorelle::testing {
namespace {

using Kind = ThemeBackground::BackgroundKind;

class NewTabCustomizeOverlayTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        state->showNewTabCustomize.set(true);
        web_.internalReloads.clear();
    }
    ~NewTabCustomizeOverlayTest() override {
        over.takeDown(window_.get());
        overlay.reset();
    }
    NewTabCustomizeOverlay& open() {
        overlay = std::make_unique<NewTabCustomizeOverlay>(*state, bindFlag(state->showNewTabCustomize));
        return *overlay;
    }
    void pickPreset(const std::string& id) {
        const auto ids = NewTabCustomizeOverlay::presetIDs();
        const auto at = std::find(ids.begin(), ids.end(), id) - ids.begin();
        overlay->presetPicker().set_selected(static_cast<guint>(at));
    }
    const ThemeBackground& background() const { return state->theme().background; }

    std::unique_ptr<NewTabCustomizeOverlay> overlay;
};

TEST_F(NewTabCustomizeOverlayTest, OpensOnTheProfilesPresetAndTheStoredImagePath) {
    state->applyPreset(*ThemePreset::find("midnight"));
    state->setBackgroundImageURL("https://img.example/bg.jpg");
    auto& card = open();
    EXPECT_EQ(card.title().get_text().raw(), "Customize New Tab");
    EXPECT_EQ(card.themeLabel().get_text().raw(), "Theme");
    EXPECT_EQ(card.backgroundLabel().get_text().raw(), "Background Image URL");
    EXPECT_EQ(card.openThemesButton().get_tooltip_text().raw(), "Open themes in new tab");
    EXPECT_EQ(card.backgroundField().get_text().raw(), "https://img.example/bg.jpg");
    EXPECT_EQ(card.backgroundField().get_placeholder_text().raw(), "https://example.com/image.jpg");
    EXPECT_EQ(card.selectedPresetID(), "midnight");
    EXPECT_EQ(ThemePreset::all()[card.presetPicker().get_selected()].id, "midnight");
    EXPECT_EQ(card.presetPicker().get_model()->get_n_items(), ThemePreset::all().size());
    EXPECT_DOUBLE_EQ(card.dimOpacity(), 0.55);

    // Saving only a new background keeps the user's theme.
    card.backgroundField().set_text("https://img.example/other.jpg");
    click(card.saveButton());
    EXPECT_EQ(reread().theme.colors, ThemePreset::find("midnight")->colors);
    EXPECT_EQ(reread().theme.background.imagePath, "https://img.example/other.jpg");
}

// Saving only a background never changes the colours: not on the first
// launch's theme (no preset taken), not over colours edited since the
// preset, not after "Reset" dropped the preset picked before.
TEST_F(NewTabCustomizeOverlayTest, SavingOnlyABackgroundKeepsTheColoursTheUserSees) {
    const auto saveBackground = [&](const std::string& address) {
        open().backgroundField().set_text(address);
        click(overlay->saveButton());
        EXPECT_EQ(reread().theme.background.imagePath, address);
        return reread().theme;
    };
    // The first launch's dark theme is the "black" preset's.
    EXPECT_EQ(open().selectedPresetID(), "black");
    const ThemeSettings firstLaunch = state->theme();
    ASSERT_EQ(firstLaunch, ThemeSettings::chromeDefault(true));
    auto saved = saveBackground("https://img.example/first.jpg");
    EXPECT_EQ(saved.colors, firstLaunch.colors);
    EXPECT_TRUE(saved.useDarkMode);

    state->applyPreset(*ThemePreset::find("ocean"));
    state->updateThemeColor("accent", "#123456");
    saved = saveBackground("https://img.example/edited.jpg");
    EXPECT_EQ(saved.colors.accent, "#123456");
    EXPECT_EQ(saved.colors.newTabBackground, ThemePreset::find("ocean")->colors.newTabBackground);

    state->applyPreset(*ThemePreset::find("ocean"));
    open();
    EXPECT_EQ(overlay->selectedPresetID(), "ocean");
    click(overlay->resetButton());
    EXPECT_EQ(overlay->selectedPresetID(), "black");
    overlay->backgroundField().set_text("https://img.example/reset.jpg");
    click(overlay->saveButton());
    saved = reread().theme;
    EXPECT_EQ(saved.colors, ThemeSettings::chromeDefault(true).colors);
    EXPECT_TRUE(saved.useDarkMode);
    EXPECT_EQ(saved.background.imagePath, "https://img.example/reset.jpg");

    // A preset the user picks after "Reset" is applied as before.
    open();
    click(overlay->resetButton());
    pickPreset("ocean");
    click(overlay->saveButton());
    EXPECT_EQ(reread().theme.colors, ThemePreset::find("ocean")->colors);
}

TEST_F(NewTabCustomizeOverlayTest, PickerChangesNothingUntilApply) {
    open();
    const auto before = state->theme();
    pickPreset("midnight");
    overlay->backgroundField().set_text("https://img.example/new.jpg");
    EXPECT_EQ(overlay->selectedPresetID(), "midnight");
    EXPECT_EQ(state->theme(), before);
}

TEST_F(NewTabCustomizeOverlayTest, ApplyWithABlankFieldAppliesThePresetAndLeavesItsBackground) {
    state->setBackgroundImageURL("https://img.example/old.jpg");
    open();
    overlay->backgroundField().set_text("   ");
    pickPreset("chrome");
    click(overlay->applyButton());
    EXPECT_EQ(state->theme().colors, ThemePreset::find("chrome")->colors);
    EXPECT_EQ(background().imagePath, "https://img.example/old.jpg");  // a light preset keeps it
    EXPECT_FALSE(web_.internalReloads.empty());
    EXPECT_TRUE(state->showNewTabCustomize.get());

    pickPreset("midnight");
    click(overlay->applyButton());
    EXPECT_EQ(background(), ThemeBackground::defaultDark());  // a dark preset replaces it
    EXPECT_EQ(reread().theme.colors, ThemePreset::find("midnight")->colors);
}

TEST_F(NewTabCustomizeOverlayTest, ApplyStoresTheTrimmedAddressAndTheFieldKeepsWhatWasTyped) {
    open();
    pickPreset("midnight");
    overlay->backgroundField().set_text("  https://img.example/a.jpg\n");
    click(overlay->applyButton());
    EXPECT_EQ(overlay->backgroundField().get_text().raw(), "  https://img.example/a.jpg\n");
    const auto saved = reread().theme;
    EXPECT_EQ(saved.background.kind, Kind::image);
    EXPECT_EQ(saved.background.imagePath, "https://img.example/a.jpg");
    EXPECT_EQ(saved.colors, ThemePreset::find("midnight")->colors);
    EXPECT_TRUE(state->showNewTabCustomize.get());
}

TEST_F(NewTabCustomizeOverlayTest, SaveAppliesThenCloses) {
    open();
    pickPreset("midnight");
    overlay->backgroundField().set_text("https://img.example/s.jpg");
    click(overlay->saveButton());
    EXPECT_FALSE(state->showNewTabCustomize.get());
    EXPECT_EQ(reread().theme.background.imagePath, "https://img.example/s.jpg");
}

TEST_F(NewTabCustomizeOverlayTest, ResetGivesTheSolidDarkDefaultAndEmptiesTheFieldOnly) {
    state->applyPreset(*ThemePreset::find("chrome"));
    state->setBackgroundImageURL("https://img.example/old.jpg");
    open();
    pickPreset("midnight");
    click(overlay->resetButton());
    EXPECT_EQ(overlay->backgroundField().get_text().raw(), "");
    EXPECT_EQ(overlay->selectedPresetID(), "black");  // the reset theme's preset
    EXPECT_TRUE(state->showNewTabCustomize.get());
    const auto saved = reread().theme;
    EXPECT_TRUE(saved.useDarkMode);
    EXPECT_EQ(saved.colors, ThemeSettings::chromeDefault(true).colors);
    EXPECT_EQ(saved.background.kind, Kind::solid);
    EXPECT_EQ(saved.background.imagePath, std::nullopt);
}

TEST_F(NewTabCustomizeOverlayTest, ClearBackgroundDropsTheImageAtOnce) {
    state->setBackgroundImageURL("https://img.example/old.jpg");
    open();
    click(overlay->clearBackgroundButton());
    EXPECT_EQ(overlay->backgroundField().get_text().raw(), "");
    EXPECT_EQ(reread().theme.background.imagePath, std::nullopt);
    EXPECT_EQ(reread().theme.background.kind, Kind::solid);
    EXPECT_TRUE(state->showNewTabCustomize.get());
}

TEST_F(NewTabCustomizeOverlayTest, TheHeaderButtonClosesAndOpensThemesInTheActiveTab) {
    open();
    const auto tabs = state->tabs.get().size();
    click(overlay->openThemesButton());
    drain();
    EXPECT_FALSE(state->showNewTabCustomize.get());
    EXPECT_EQ(state->tabs.get().size(), tabs);
    ASSERT_FALSE(web_.loads.empty());
    EXPECT_EQ(web_.loads.back().address, "vx://themes");
    EXPECT_EQ(web_.loads.back().tabID, state->activeTab()->id());
}

TEST_F(NewTabCustomizeOverlayTest, TheFocusStartsInTheFieldAndOnlyATapOnTheDimLayerCloses) {
    auto& card = open();
    present(card);
    EXPECT_TRUE(CardOverPage::holdsFocus(card.backgroundField()));
    EXPECT_EQ(card.card().get_width(), 420);
    const auto before = state->theme();
    pickPreset("midnight");
    // A point on the card reaches the card's widgets, not the dim layer.
    const double cx = card.get_width() / 2.0, cy = card.get_height() / 2.0;
    Gtk::Widget* hit = card.pick(cx, cy);
    ASSERT_NE(hit, nullptr);
    EXPECT_TRUE(hit == &card.card() || hit->is_ancestor(card.card()));
    EXPECT_EQ(card.pick(3, 3), &card.dimLayer());
    tap(card.dimGesture());
    EXPECT_FALSE(state->showNewTabCustomize.get());
    EXPECT_EQ(state->theme(), before);
}

TEST_F(NewTabCustomizeOverlayTest, TheCardWearsTheThemesToolbarAndBorderColours) {
    auto& card = open();
    const auto& sheet = card.surface().styleSheet();
    EXPECT_NE(sheet.find("background-color: " + ChromeColor::css(ChromeColor::toolbar(state->theme()))),
              std::string::npos);
    EXPECT_NE(sheet.find("inset 0 0 0 1px " + ChromeColor::css(ChromeColor::border(state->theme()))),
              std::string::npos);
    EXPECT_NE(sheet.find("border-radius: 12px"), std::string::npos);
}

TEST_F(NewTabCustomizeOverlayTest, AGuestWindowKeepsItsThemeOnApplyAndWritesNothing) {
    auto guest = makeState(true);
    drain();
    guest->showNewTabCustomize.set(true);
    const auto files = snapshot();
    const auto before = guest->theme();
    overlay = std::make_unique<NewTabCustomizeOverlay>(*guest, bindFlag(guest->showNewTabCustomize));
    pickPreset("midnight");
    click(overlay->applyButton());
    EXPECT_EQ(guest->theme(), before);
    EXPECT_EQ(snapshot(), files);
    overlay.reset();  // before its state goes
}

}  // namespace
}  // namespace quorelle::testing
