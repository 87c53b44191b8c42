// The bookmark editor, presented the way the window presents it: bound to
// the state's bookmark being edited, closed by clearing that bookmark.
#include "cards/BookmarkEditSheet.h"
#include "cards/CardTestSupport.h"
#include "cards/ThemedSurface.h"
#include "model/ThemePreset.h"
#include "support/LogWatch.h"
#include "support/RealInput.h"
#include "window/ChromeColor.h"

#include <gtk/gtk.h>

namespace quorelle::testing {
namespace {

class BookmarkEditSheetTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        work = addFolder("Work", 2);
        news = addFolder("News", 1);
        later = addFolder("Later", 1);
        state->createBookmark("Example", "https://a.example/", work.id, std::nullopt);
        state->profileData.modify([](ProfileData& d) { d.bookmarks.back().faviconURL = "http://127.0.0.1:9/fav.ico"; });
        state->persist();
        original = stored();
        state->editingBookmark.set(original);
    }
    ~BookmarkEditSheetTest() override {
        over.takeDown(window_.get());
        sheet.reset();
    }

    // The window's bindings: the state's bookmark being edited.
    BookmarkEditSheet& open(bool withDelete = true) {
        TwoWayBinding<bool> presented{[this] { return state->editingBookmark.get().has_value(); },
                                      [this](const bool& shown) {
                                          if (!shown) state->editingBookmark.set(std::nullopt);
                                      }};
        TwoWayBinding<Bookmark> bookmark{[this] { return state->editingBookmark.get().value_or(Bookmark{}); },
                                         [this](const Bookmark& b) { state->editingBookmark.set(b); },
                                         &state->editingBookmark.signalWillChange()};
        std::function<void()> onDelete;
        if (withDelete)
            onDelete = [this] {
                if (auto editing = state->editingBookmark.get()) state->deleteBookmark(*editing);
                state->editingBookmark.set(std::nullopt);
            };
        sheet = std::make_unique<BookmarkEditSheet>(*state, images, presented, bookmark, onDelete);
        return *sheet;
    }
    Bookmark stored() const { return state->profileData.get().bookmarks.back(); }
    Bookmark editing() const { return *state->editingBookmark.get(); }

    BookmarkFolder work, news, later;
    Bookmark original;
    std::unique_ptr<BookmarkEditSheet> sheet;
};

TEST_F(BookmarkEditSheetTest, ShowsTheBookmarkWithFoldersByOrderAndStoredOrderForTies) {
    auto& card = open();
    EXPECT_EQ(card.heading().get_text().raw(), "Edit Bookmark");
    EXPECT_EQ(card.titleField().get_text().raw(), "Example");
    EXPECT_EQ(card.urlField().get_text().raw(), "https://a.example/");
    EXPECT_EQ(card.customIconField().get_text().raw(), "");
    EXPECT_EQ(card.titleField().get_placeholder_text().raw(), "Title");
    EXPECT_EQ(card.customIconField().get_placeholder_text().raw(), "Custom icon URL");
    EXPECT_EQ(card.folderPicker().entryTitles(), (std::vector<std::string>{"None", "News", "Later", "Work"}));
    EXPECT_EQ(card.folderPicker().label().get_text().raw(), "Folder");
    EXPECT_EQ(card.folderPicker().dropDown().get_selected(), 3u);
    EXPECT_EQ(card.preview().url(), original.effectiveIconURL());
    EXPECT_EQ(card.preview().size(), 32);
    for (auto* button : {&card.saveButton(), &card.useFaviconButton(), &card.deleteButton(), &card.cancelButton()})
        EXPECT_TRUE(button->get_visible());
    EXPECT_TRUE(card.deleteButton().has_css_class("destructive-action"));
}

TEST_F(BookmarkEditSheetTest, EditsReachTheBindingAtOnceAndOnlySaveStoresThem) {
    auto& card = open();
    card.titleField().set_text("");
    card.urlField().set_text("https://b.example/");
    card.folderPicker().dropDown().set_selected(0);  // "None"
    EXPECT_EQ(editing().title, "");
    EXPECT_EQ(editing().url, "https://b.example/");
    EXPECT_EQ(editing().folderID, std::nullopt);
    EXPECT_EQ(stored(), original);

    click(card.saveButton());
    EXPECT_FALSE(state->editingBookmark.get().has_value());
    const auto saved = reread().bookmarks.back();
    EXPECT_EQ(saved.id, original.id);
    EXPECT_EQ(saved.title, "");
    EXPECT_EQ(saved.url, "https://b.example/");
    EXPECT_EQ(saved.folderID, std::nullopt);
}

TEST_F(BookmarkEditSheetTest, PickingAFolderStoresItsId) {
    auto& card = open();
    card.folderPicker().dropDown().set_selected(2);  // "Later"
    click(card.saveButton());
    EXPECT_EQ(reread().bookmarks.back().folderID, later.id);
}

TEST_F(BookmarkEditSheetTest, TheCustomIconFieldDrivesThePreviewAndAnEmptyFieldMeansNone) {
    auto& card = open();
    card.customIconField().set_text("http://127.0.0.1:9/custom.png");
    EXPECT_EQ(editing().customIconURL, "http://127.0.0.1:9/custom.png");
    EXPECT_EQ(card.preview().url(), "http://127.0.0.1:9/custom.png");
    card.customIconField().set_text("");
    EXPECT_EQ(editing().customIconURL, std::nullopt);
    EXPECT_EQ(card.preview().url(), "http://127.0.0.1:9/fav.ico");
    card.customIconField().set_text("  spaced  ");
    click(card.saveButton());
    EXPECT_EQ(reread().bookmarks.back().customIconURL, "  spaced  ");
}

// Typed key by key, an icon address passes through unfinished ones ("http:",
// "http://", "https://:8080"), each shown in the preview at once. Those that
// name no host are never asked for, and nothing warns on the way.
TEST_F(BookmarkEditSheetTest, TypingUnfinishedIconAddressesLogsNoWarning) {
    auto& card = open();
    present(card);
    LogWatch log;
    ASSERT_TRUE(runUntil([&] { return clickWidget(card.customIconField()); }));
    for (const std::string typed : {"http://", "https://:8080/", "HTTP://@/", "file://", "data:,"}) {
        ASSERT_TRUE(typeText(card, typed));
        ASSERT_TRUE(runUntil([&] { return editing().customIconURL == typed; })) << typed;
        EXPECT_EQ(card.preview().url(), typed);
        settle();
        ASSERT_TRUE(pressKey(card, GDK_KEY_a, {GDK_KEY_Control_L}));
        ASSERT_TRUE(pressKey(card, GDK_KEY_BackSpace));
        ASSERT_TRUE(runUntil([&] { return !editing().customIconURL; })) << typed;
    }
    EXPECT_EQ(log.problems(), std::vector<std::string>{});
}

TEST_F(BookmarkEditSheetTest, UseFaviconDropsTheCustomIconAndKeepsTheCardOpen) {
    auto& card = open();
    card.customIconField().set_text("http://127.0.0.1:9/custom.png");
    click(card.useFaviconButton());
    settle();
    EXPECT_TRUE(state->editingBookmark.get().has_value());
    EXPECT_EQ(editing().customIconURL, std::nullopt);
    EXPECT_EQ(card.customIconField().get_text().raw(), "");
    EXPECT_EQ(card.preview().url(), "http://127.0.0.1:9/fav.ico");
    click(card.useFaviconButton());  // nothing left to drop
    EXPECT_EQ(editing(), original);
}

TEST_F(BookmarkEditSheetTest, CancelStoresNothingAndCloses) {
    auto& card = open();
    card.titleField().set_text("Changed");
    card.folderPicker().dropDown().set_selected(0);
    card.customIconField().set_text("http://127.0.0.1:9/custom.png");
    click(card.cancelButton());
    EXPECT_FALSE(state->editingBookmark.get().has_value());
    const auto kept = reread().bookmarks.back();
    EXPECT_EQ(kept.title, original.title);
    EXPECT_EQ(kept.url, original.url);
    EXPECT_EQ(kept.folderID, original.folderID);
    EXPECT_EQ(kept.customIconURL, original.customIconURL);
    EXPECT_EQ(kept.faviconURL, original.faviconURL);
}

TEST_F(BookmarkEditSheetTest, DeleteRunsThePresentersActionAndCloses) {
    auto& card = open();
    click(card.deleteButton());
    EXPECT_FALSE(state->editingBookmark.get().has_value());
    EXPECT_TRUE(reread().bookmarks.empty());
}

TEST_F(BookmarkEditSheetTest, WithoutADeleteActionDeleteOnlyCloses) {
    auto& card = open(false);
    click(card.deleteButton());
    EXPECT_FALSE(state->editingBookmark.get().has_value());
    EXPECT_EQ(reread().bookmarks.size(), 1u);
}

TEST_F(BookmarkEditSheetTest, SavingABookmarkDeletedMeanwhileDoesNotBringItBack) {
    auto& card = open();
    state->deleteBookmark(original);
    card.titleField().set_text("Ghost");
    click(card.saveButton());
    EXPECT_FALSE(state->editingBookmark.get().has_value());
    EXPECT_TRUE(reread().bookmarks.empty());
}

TEST_F(BookmarkEditSheetTest, AFolderThatIsGoneShowsNoEntryAndIsKeptUnlessPicked) {
    Bookmark lost = original;
    lost.folderID = Uuid::random();
    state->editingBookmark.set(lost);
    auto& card = open();
    EXPECT_EQ(card.folderPicker().dropDown().get_selected(), GTK_INVALID_LIST_POSITION);
    click(card.saveButton());
    EXPECT_EQ(reread().bookmarks.back().folderID, lost.folderID);
}

TEST_F(BookmarkEditSheetTest, FollowsTheBoundBookmarkAndTheFolderList) {
    auto& card = open();
    Bookmark changed = original;
    changed.title = "From elsewhere";
    changed.folderID = news.id;
    state->editingBookmark.set(changed);
    addFolder("Zebra", 9);
    settle();
    EXPECT_EQ(card.titleField().get_text().raw(), "From elsewhere");
    EXPECT_EQ(card.folderPicker().entryTitles().back(), "Zebra");
    EXPECT_EQ(card.folderPicker().dropDown().get_selected(), 1u);
}

TEST_F(BookmarkEditSheetTest, IsAColumn400WideOnTheThemesToolbarColourWithTheFocusInItsTitle) {
    auto& card = open();
    present(card);
    EXPECT_TRUE(CardOverPage::holdsFocus(card.titleField()));
    EXPECT_EQ(card.get_width(), 400);
    EXPECT_EQ(card.get_height(), window_->get_height());
    const auto toolbar = ChromeColor::css(ChromeColor::toolbar(state->theme()));
    EXPECT_NE(card.surface().styleSheet().find("background-color: " + toolbar), std::string::npos);
    state->applyPreset(*ThemePreset::find("midnight"));
    settle();
    const auto midnight = ChromeColor::css(ChromeColor::toolbar(state->theme()));
    ASSERT_NE(midnight, toolbar);
    EXPECT_NE(card.surface().styleSheet().find(midnight), std::string::npos);
}

}  // namespace
}  // namespace quorelle::testing
