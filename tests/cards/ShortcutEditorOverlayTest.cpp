// The shortcut editor over the window, presented while the state's flag is
// raised; icon lookups are answered by the recording web content.
#include "cards/CardTestSupport.h"
#include "cards/ShortcutEditorOverlay.h"
#include "cards/ThemedSurface.h"
#include "model/QuorelleAssets.h"
#include "support/RealInput.h"
#include "window/ChromeColor.h"

namespace quorelle::testing {
namespace {

const std::string logoReference(QuorelleAssets::logoFaviconReference);

class ShortcutEditorOverlayTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        state->showShortcutsEditor.set(true);
    }
    ~ShortcutEditorOverlayTest() override {
        over.takeDown(window_.get());
        overlay.reset();
    }
    ShortcutEditorOverlay& open() {
        overlay = std::make_unique<ShortcutEditorOverlay>(*state, images, bindFlag(state->showShortcutsEditor));
        return *overlay;
    }
    const std::vector<ShortcutItem>& shortcuts() const { return state->profileData.get().shortcuts; }

    std::unique_ptr<ShortcutEditorOverlay> overlay;
};

TEST_F(ShortcutEditorOverlayTest, OpensInAddModeWithAnEmptyForm) {
    auto& card = open();
    EXPECT_EQ(card.heading().get_text().raw(), "Add Shortcut");
    EXPECT_FALSE(card.deleteButton().get_visible());
    EXPECT_EQ(card.titleField().get_text().raw(), "");
    EXPECT_EQ(card.urlField().get_text().raw(), "");
    EXPECT_EQ(card.previewFavicon(), std::nullopt);
    EXPECT_EQ(card.editingID(), std::nullopt);
    EXPECT_EQ(card.resetDefaultsButton().get_label().raw(), "Reset Defaults");
    EXPECT_DOUBLE_EQ(card.dimOpacity(), 0.45);
}

// Opened over a page holding the keyboard focus, the card takes it: what the
// user types goes into its fields, not into the page beneath the dim layer.
TEST_F(ShortcutEditorOverlayTest, TypingAfterTheCardOpensFillsItsFieldsNotThePage) {
    auto& card = open();
    present(card);
    EXPECT_TRUE(CardOverPage::holdsFocus(card.titleField()));
    ASSERT_TRUE(runUntil([&] { return typeText(card, "news"); }));
    ASSERT_TRUE(pressKey(card, GDK_KEY_Tab));
    ASSERT_TRUE(typeText(card, "vx-settings"));
    ASSERT_TRUE(runUntil([&] { spin(); return card.urlField().get_text() == "vx-settings"; }));
    EXPECT_EQ(card.titleField().get_text(), "news");
    EXPECT_EQ(over.page().get_text(), "");
    click(card.saveButton());
    EXPECT_FALSE(state->showShortcutsEditor.get());
    EXPECT_EQ(reread().shortcuts.back().title, "news");
}

TEST_F(ShortcutEditorOverlayTest, SaveUsesTheTrimmedAddressAsTitleAndPlacesTheTileLast) {
    const auto before = shortcuts().size();
    auto& card = open();
    card.urlField().set_text("  https://new.example/  ");
    click(card.saveButton());
    EXPECT_FALSE(state->showShortcutsEditor.get());
    const auto saved = reread().shortcuts;
    ASSERT_EQ(saved.size(), before + 1);
    EXPECT_EQ(saved.back().title, "https://new.example/");
    EXPECT_EQ(saved.back().url, "https://new.example/");
    EXPECT_EQ(saved.back().sortOrder, static_cast<std::int64_t>(before));
}

TEST_F(ShortcutEditorOverlayTest, ATitleOfSpacesIsSavedUnchanged) {
    auto& card = open();
    card.titleField().set_text("   ");
    card.urlField().set_text("https://new.example/");
    click(card.saveButton());
    EXPECT_EQ(reread().shortcuts.back().title, "   ");
}

// Save clicked for real with a blank address saves nothing and gives the
// keys to the address field, where what is missing goes.
TEST_F(ShortcutEditorOverlayTest, SaveWithABlankAddressSavesNothingAndAsksForIt) {
    const auto before = shortcuts();
    auto& card = open();
    present(card);
    card.titleField().set_text("Nothing");
    card.urlField().set_text(" \n ");
    ASSERT_TRUE(runUntil([&] { return clickWidget(card.saveButton()); }));
    spin();
    EXPECT_TRUE(state->showShortcutsEditor.get());
    EXPECT_TRUE(card.saveButton().get_sensitive());
    EXPECT_EQ(reread().shortcuts, before);
    EXPECT_TRUE(CardOverPage::holdsFocus(card.urlField()));
    ASSERT_TRUE(runUntil([&] { return typeText(card, "vx-settings"); }));
    EXPECT_TRUE(runUntil([&] { return card.urlField().get_text() == "vx-settings"; })) << card.urlField().get_text();
    EXPECT_EQ(card.titleField().get_text(), "Nothing");
    EXPECT_EQ(over.page().get_text(), "");
}

TEST_F(ShortcutEditorOverlayTest, AnInternalAddressShowsTheLogoWithoutALookup) {
    auto& card = open();
    const int lookups = web_.faviconFetches;
    card.urlField().set_text("  VX://Settings ");
    EXPECT_EQ(card.previewFavicon(), logoReference);
    EXPECT_EQ(card.preview().url(), logoReference);
    EXPECT_EQ(web_.faviconFetches, lookups);
}

TEST_F(ShortcutEditorOverlayTest, ThePreviewShowsTheCachedIconThenTheLookupsAnswer) {
    web_.faviconCache["cached.example"] = "http://127.0.0.1:9/cached.ico";
    auto& card = open();
    card.urlField().set_text("https://cached.example/");
    EXPECT_EQ(card.previewFavicon(), "http://127.0.0.1:9/cached.ico");

    card.urlField().set_text("https://slow.example/");
    EXPECT_EQ(card.previewFavicon(), std::nullopt);
    ASSERT_EQ(web_.pendingFavicons.size(), 1u);
    web_.answerFavicon("http://127.0.0.1:9/slow.ico");
    EXPECT_EQ(card.previewFavicon(), "http://127.0.0.1:9/slow.ico");
    EXPECT_EQ(card.preview().url(), "http://127.0.0.1:9/slow.ico");

    card.urlField().set_text("https://none.example/");
    web_.faviconCache["none.example"] = "http://127.0.0.1:9/late.ico";  // cached by someone else meanwhile
    web_.answerFavicon(std::nullopt);
    EXPECT_EQ(card.previewFavicon(), "http://127.0.0.1:9/late.ico");

    click(card.saveButton());
    EXPECT_EQ(reread().shortcuts.back().faviconURL, "http://127.0.0.1:9/late.ico");
}

TEST_F(ShortcutEditorOverlayTest, ClearingTheAddressEmptiesThePreviewDownToTheTitlesLetter) {
    auto& card = open();
    card.titleField().set_text("zebra");
    card.urlField().set_text("vx://settings");
    card.urlField().set_text("");
    EXPECT_EQ(card.previewFavicon(), std::nullopt);
    EXPECT_EQ(card.preview().content(), FaviconView::Content::badge);
    EXPECT_EQ(card.preview().badge().get_text().raw(), "Z");
}

TEST_F(ShortcutEditorOverlayTest, AnAnswerArrivingAfterTheCardIsGoneIsDropped) {
    auto& card = open();
    card.urlField().set_text("https://slow.example/");
    overlay.reset();
    ASSERT_EQ(web_.pendingFavicons.size(), 1u);
    // A touch of the freed card is caught by the sanitizer build
    // (scripts/test --sanitize).
    web_.answerFavicon("http://127.0.0.1:9/slow.ico");
}

TEST_F(ShortcutEditorOverlayTest, EditModeKeepsTheIdAndListPlaceButTakesTheCountAsOrder) {
    const auto target = shortcuts()[1];
    state->editingShortcut.set(target);
    auto& card = open();
    EXPECT_EQ(card.heading().get_text().raw(), "Edit Shortcut");
    EXPECT_TRUE(card.deleteButton().get_visible());
    EXPECT_EQ(card.titleField().get_text().raw(), target.title);
    EXPECT_EQ(card.urlField().get_text().raw(), target.url);
    EXPECT_EQ(card.editingID(), target.id);

    card.titleField().set_text("Renamed");
    click(card.saveButton());
    EXPECT_FALSE(state->showShortcutsEditor.get());
    EXPECT_FALSE(state->editingShortcut.get().has_value());
    const auto saved = reread().shortcuts;
    ASSERT_EQ(saved.size(), shortcuts().size());
    EXPECT_EQ(saved[1].id, target.id);
    EXPECT_EQ(saved[1].title, "Renamed");
    EXPECT_EQ(saved[1].sortOrder, static_cast<std::int64_t>(saved.size()));
}

TEST_F(ShortcutEditorOverlayTest, DeleteRemovesTheEditedShortcutAndCloses) {
    const auto target = shortcuts()[0];
    state->editingShortcut.set(target);
    auto& card = open();
    click(card.deleteButton());
    EXPECT_FALSE(state->showShortcutsEditor.get());
    EXPECT_TRUE(state->editingShortcut.get().has_value());  // only Save clears it
    const auto saved = reread().shortcuts;
    EXPECT_TRUE(std::none_of(saved.begin(), saved.end(), [&](const ShortcutItem& s) { return s.id == target.id; }));
}

TEST_F(ShortcutEditorOverlayTest, DeleteOfAShortcutGoneMeanwhileDoesNothing) {
    const auto target = shortcuts()[0];
    state->editingShortcut.set(target);
    auto& card = open();
    state->deleteShortcut(target);
    const auto left = shortcuts();
    click(card.deleteButton());
    EXPECT_TRUE(state->showShortcutsEditor.get());
    EXPECT_EQ(reread().shortcuts, left);
}

TEST_F(ShortcutEditorOverlayTest, ResetDefaultsKeepsTheCardOpenWithTheTypedText) {
    state->deleteShortcut(shortcuts()[0]);
    auto& card = open();
    card.titleField().set_text("Typed");
    card.urlField().set_text("https://typed.example/");
    click(card.resetDefaultsButton());
    EXPECT_TRUE(state->showShortcutsEditor.get());
    EXPECT_EQ(card.titleField().get_text().raw(), "Typed");
    EXPECT_EQ(card.urlField().get_text().raw(), "https://typed.example/");
    const auto saved = reread().shortcuts;
    const auto defaults = ShortcutItem::defaultShortcuts();
    ASSERT_EQ(saved.size(), defaults.size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(saved[i].url, defaults[i].url);
        EXPECT_EQ(saved[i].sortOrder, defaults[i].sortOrder);
    }
}

TEST_F(ShortcutEditorOverlayTest, CancelAndATapOutsideCloseWithoutWriting) {
    const auto before = shortcuts();
    const auto target = shortcuts()[2];
    state->editingShortcut.set(target);
    auto& card = open();
    card.urlField().set_text("https://changed.example/");
    click(card.cancelButton());
    EXPECT_FALSE(state->showShortcutsEditor.get());
    EXPECT_EQ(state->editingShortcut.get(), target);

    state->showShortcutsEditor.set(true);
    auto& again = open();
    again.urlField().set_text("https://changed.example/");
    tap(again.dimGesture());
    EXPECT_FALSE(state->showShortcutsEditor.get());
    EXPECT_EQ(reread().shortcuts, before);
}

TEST_F(ShortcutEditorOverlayTest, TheCardIs400WideOnTheToolbarColourWithoutABorder) {
    auto& card = open();
    present(card);
    EXPECT_EQ(card.card().get_width(), 400);
    const auto& sheet = card.surface().styleSheet();
    EXPECT_NE(sheet.find("background-color: " + ChromeColor::css(ChromeColor::toolbar(state->theme()))),
              std::string::npos);
    EXPECT_NE(sheet.find("border-radius: 10px"), std::string::npos);
    EXPECT_EQ(sheet.find("box-shadow"), std::string::npos);
}

}  // namespace
}  // namespace quorelle::testing
