// The new-bookmark form, presented while the state's flag is raised.
#include "cards/CardTestSupport.h"
#include "cards/NewBookmarkSheet.h"
#include "cards/ThemedSurface.h"
#include "model/QuorelleAssets.h"
#include "window/ChromeColor.h"

namespace quorelle::testing {
namespace {

class NewBookmarkSheetTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        state->showNewBookmarkSheet.set(true);
    }
    ~NewBookmarkSheetTest() override {
        over.takeDown(window_.get());
        sheet.reset();
    }
    NewBookmarkSheet& open() {
        sheet = std::make_unique<NewBookmarkSheet>(*state, bindFlag(state->showNewBookmarkSheet));
        return *sheet;
    }
    void fill(const char* title, const char* url, const char* icon = "") {
        sheet->titleField().set_text(title);
        sheet->urlField().set_text(url);
        sheet->customIconField().set_text(icon);
    }

    std::unique_ptr<NewBookmarkSheet> sheet;
};

TEST_F(NewBookmarkSheetTest, StartsEmptyAtTheTopLevelWithSaveOfferedOnlyForANonBlankAddress) {
    addFolder("B", 1);
    addFolder("A", 1);
    auto& card = open();
    EXPECT_EQ(card.heading().get_text().raw(), "New Bookmark");
    EXPECT_EQ(card.titleField().get_text().raw(), "");
    EXPECT_EQ(card.urlField().get_text().raw(), "");
    EXPECT_EQ(card.customIconField().get_placeholder_text().raw(), "Custom icon URL (optional)");
    EXPECT_EQ(card.folderPicker().entryTitles(), (std::vector<std::string>{"None", "B", "A"}));
    EXPECT_EQ(card.folderPicker().dropDown().get_selected(), 0u);
    EXPECT_EQ(card.folderID(), std::nullopt);
    EXPECT_FALSE(card.saveButton().get_sensitive());
    card.urlField().set_text(" \n\t ");
    EXPECT_FALSE(card.saveButton().get_sensitive());
    card.urlField().set_text("  x");
    EXPECT_TRUE(card.saveButton().get_sensitive());
}

TEST_F(NewBookmarkSheetTest, SaveStoresTheTrimmedAddressAsTitleWhenNoneIsGivenAndCloses) {
    open();
    fill("", "  https://a.example/page \n");
    click(sheet->saveButton());
    EXPECT_FALSE(state->showNewBookmarkSheet.get());
    const auto bookmarks = reread().bookmarks;
    ASSERT_EQ(bookmarks.size(), 1u);
    EXPECT_EQ(bookmarks[0].title, "https://a.example/page");
    EXPECT_EQ(bookmarks[0].url, "https://a.example/page");
    EXPECT_EQ(bookmarks[0].customIconURL, std::nullopt);
    EXPECT_EQ(bookmarks[0].folderID, std::nullopt);
}

TEST_F(NewBookmarkSheetTest, TitlesAndIconAddressesAreStoredAsTyped) {
    open();
    fill("   ", "vx://settings", "  ");
    click(sheet->saveButton());
    const auto bookmarks = reread().bookmarks;
    ASSERT_EQ(bookmarks.size(), 1u);
    EXPECT_EQ(bookmarks[0].title, "   ");
    EXPECT_EQ(bookmarks[0].customIconURL, "  ");
    EXPECT_EQ(bookmarks[0].faviconURL, std::string(QuorelleAssets::logoFaviconReference));
}

TEST_F(NewBookmarkSheetTest, TheChosenFolderIsStoredAndNoneMeansTheTopLevel) {
    const auto folder = addFolder("Reading", 3);
    auto& card = open();
    fill("One", "https://one.example/");
    card.folderPicker().dropDown().set_selected(1);
    EXPECT_EQ(card.folderID(), folder.id);
    click(card.saveButton());

    state->showNewBookmarkSheet.set(true);
    auto& again = open();  // a new presentation starts afresh
    EXPECT_EQ(again.folderID(), std::nullopt);
    fill("Two", "https://two.example/");
    again.folderPicker().dropDown().set_selected(1);
    again.folderPicker().dropDown().set_selected(0);
    click(again.saveButton());

    const auto bookmarks = reread().bookmarks;
    ASSERT_EQ(bookmarks.size(), 2u);
    EXPECT_EQ(bookmarks[0].folderID, folder.id);
    EXPECT_EQ(bookmarks[1].folderID, std::nullopt);
}

TEST_F(NewBookmarkSheetTest, SavingTheSameAddressTwiceMakesTwoBookmarks) {
    for (int i = 0; i < 2; ++i) {
        open();
        fill("Same", "https://same.example/");
        click(sheet->saveButton());
    }
    EXPECT_EQ(reread().bookmarks.size(), 2u);
}

TEST_F(NewBookmarkSheetTest, CancelCreatesNothingAndCloses) {
    open();
    fill("Title", "https://a.example/");
    click(sheet->cancelButton());
    EXPECT_FALSE(state->showNewBookmarkSheet.get());
    EXPECT_TRUE(reread().bookmarks.empty());
}

TEST_F(NewBookmarkSheetTest, IsAColumn380WideOnTheThemesToolbarColourWithTheFocusInItsTitle) {
    auto& card = open();
    present(card);
    EXPECT_TRUE(CardOverPage::holdsFocus(card.titleField()));
    EXPECT_EQ(card.get_width(), 380);
    const auto toolbar = ChromeColor::css(ChromeColor::toolbar(state->theme()));
    EXPECT_NE(card.surface().styleSheet().find("background-color: " + toolbar), std::string::npos);
}

}  // namespace
}  // namespace quorelle::testing
