#include "support/StateTestSupport.h"

#include <cmath>
#include <limits>

namespace quorelle::testing {
namespace {

class BookmarksTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();
    }
    const std::vector<Bookmark>& bookmarks() const { return state->profileData.get().bookmarks; }
    const std::vector<BookmarkFolder>& folders() const { return state->profileData.get().bookmarkFolders; }
    // What a fresh state reads back from disk.
    ProfileData reread() { return makeState()->profileData.get(); }
    // Puts the bookmarks page in front and forgets the reloads so far.
    void showBookmarksPage() {
        state->navigateActive("vx://bookmarks");
        drain();
        web_.internalReloads.clear();
    }
    void showWebPage(const std::string& url, const std::string& title) {
        auto tab = state->activeTab();
        tab->urlString.set(url);
        tab->title.set(title);
        tab->updateInternalState();
        tab->isInternal.set(false);
        tab->faviconURL.set(std::nullopt);
    }
    void switchToAnotherProfile() {
        state->appSettings.modify([](AppSettings& a) {
            BrowserProfile other;
            other.id = "other";
            other.name = "Other";
            a.profiles.push_back(other);
            a.selectedStartupProfileID = "other";
            a.currentProfileID = "other";
        });
    }
    // The data store keeps whole seconds.
    static std::vector<Bookmark> asStored(std::vector<Bookmark> list) {
        for (auto& b : list) b.createdAt.secondsSinceReferenceDate = std::floor(b.createdAt.secondsSinceReferenceDate);
        return list;
    }
    std::shared_ptr<AppState> state;
};

// ---- the toolbar star -----------------------------------------------------------

TEST_F(BookmarksTest, StarAddsTheActivePageWithoutANetworkLookup) {
    showWebPage("https://a.example/page", "A page");
    web_.faviconCache["a.example"] = "https://a.example/cached.ico";
    state->toggleBookmark();
    ASSERT_EQ(bookmarks().size(), 1u);
    EXPECT_EQ(bookmarks()[0].title, "A page");
    EXPECT_EQ(bookmarks()[0].url, "https://a.example/page");
    EXPECT_EQ(bookmarks()[0].faviconURL, "https://a.example/cached.ico");
    EXPECT_FALSE(bookmarks()[0].folderID);
    EXPECT_TRUE(state->isBookmarked("https://a.example/page"));
    EXPECT_FALSE(state->isBookmarked("https://A.example/page"));
    EXPECT_EQ(web_.faviconFetches, 0);
    EXPECT_EQ(reread().bookmarks, asStored(bookmarks()));

    // The tab's own favicon wins over the cache.
    showWebPage("https://b.example/", "B");
    state->activeTab()->faviconURL.set("https://b.example/own.png");
    state->toggleBookmark();
    EXPECT_EQ(bookmarks().back().faviconURL, "https://b.example/own.png");
}

TEST_F(BookmarksTest, StarOnAPageBookmarkedTwiceRemovesOnlyTheFirst) {
    state->createBookmark("One", "https://twice.example/", std::nullopt, std::nullopt);
    state->createBookmark("Two", "https://twice.example/", std::nullopt, std::nullopt);
    showWebPage("https://twice.example/", "Twice");
    state->toggleBookmark();
    ASSERT_EQ(bookmarks().size(), 1u);
    EXPECT_EQ(bookmarks()[0].title, "Two");
    EXPECT_EQ(reread().bookmarks.size(), 1u);
}

TEST_F(BookmarksTest, StarDoesNothingOnInternalPagesOrWithoutATab) {
    const auto before = snapshot();
    state->toggleBookmark();  // the new-tab page
    state->activeTabID.set(Uuid::random());
    state->tabs.set({});
    state->toggleBookmark();
    EXPECT_TRUE(bookmarks().empty());
    EXPECT_EQ(snapshot(), before);
}

// ---- creating and the late favicon ----------------------------------------------

TEST_F(BookmarksTest, CreatedBookmarkIsStoredAsGivenAndRefreshesTheBookmarksPage) {
    showBookmarksPage();
    const Uuid folder = Uuid::random();
    state->createBookmark("  Title ", "vx://settings", folder, "https://icons.example/x.png");
    ASSERT_EQ(bookmarks().size(), 1u);
    EXPECT_EQ(bookmarks()[0].title, "  Title ");
    EXPECT_EQ(bookmarks()[0].faviconURL, std::string(QuorelleAssets::logoFaviconReference));
    EXPECT_EQ(bookmarks()[0].customIconURL, "https://icons.example/x.png");
    EXPECT_EQ(bookmarks()[0].folderID, folder);
    EXPECT_EQ(web_.faviconFetches, 0);
    EXPECT_EQ(web_.internalReloads.size(), 1u);
    EXPECT_EQ(reread().bookmarks, asStored(bookmarks()));
}

TEST_F(BookmarksTest, CachedFaviconIsUsedAtOnceAndAFailedLookupLeavesNone) {
    web_.faviconCache["c.example"] = "https://c.example/icon.png";
    state->createBookmark("C", "https://c.example/a", std::nullopt, std::nullopt);
    EXPECT_EQ(bookmarks()[0].faviconURL, "https://c.example/icon.png");
    EXPECT_EQ(web_.faviconFetches, 0);

    state->createBookmark("F", "https://fail.example/", std::nullopt, std::nullopt);
    web_.answerFavicon(std::nullopt);
    EXPECT_FALSE(bookmarks()[1].faviconURL);
}

TEST_F(BookmarksTest, FetchedFaviconIsFilledInAndSavedWithoutAReload) {
    showBookmarksPage();
    state->createBookmark("N", "https://news.example/", std::nullopt, std::nullopt);
    EXPECT_FALSE(bookmarks()[0].faviconURL);
    ASSERT_EQ(web_.pendingFavicons.size(), 1u);
    web_.answerFavicon("https://news.example/favicon.ico");
    EXPECT_EQ(bookmarks()[0].faviconURL, "https://news.example/favicon.ico");
    EXPECT_EQ(reread().bookmarks[0].faviconURL, "https://news.example/favicon.ico");
    EXPECT_EQ(web_.internalReloads.size(), 1u);
}

TEST_F(BookmarksTest, LateFaviconForADeletedBookmarkChangesNothing) {
    state->createBookmark("Gone", "https://gone.example/", std::nullopt, std::nullopt);
    state->createBookmark("Kept", "https://kept.example/", std::nullopt, std::nullopt);
    state->deleteBookmark(bookmarks()[0]);
    const auto before = snapshot();
    web_.answerFavicon("https://gone.example/favicon.ico");
    ASSERT_EQ(bookmarks().size(), 1u);
    EXPECT_FALSE(bookmarks()[0].faviconURL);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(BookmarksTest, LateFaviconIsDroppedAfterAProfileSwitchOrWhenTheStateIsGone) {
    state->createBookmark("A", "https://a.example/", std::nullopt, std::nullopt);
    state->createBookmark("B", "https://b.example/", std::nullopt, std::nullopt);
    switchToAnotherProfile();
    web_.answerFavicon("https://a.example/favicon.ico");
    EXPECT_FALSE(bookmarks()[0].faviconURL);

    state.reset();
    web_.answerFavicon("https://b.example/favicon.ico");  // must not crash
    EXPECT_TRUE(web_.pendingFavicons.empty());
}

// ---- editing, deleting, moving ----------------------------------------------------

TEST_F(BookmarksTest, EditAndDeleteRefreshTheBookmarksPage) {
    state->createBookmark("Old", "https://e.example/", std::nullopt, std::nullopt);
    showBookmarksPage();
    auto edited = bookmarks()[0];
    edited.title = "New";
    edited.customIconURL = "";
    state->updateBookmark(edited);
    EXPECT_EQ(bookmarks()[0], edited);
    EXPECT_EQ(reread().bookmarks, asStored({edited}));
    EXPECT_EQ(web_.internalReloads.size(), 1u);

    state->deleteBookmark(bookmarks()[0]);
    EXPECT_TRUE(bookmarks().empty());
    EXPECT_TRUE(reread().bookmarks.empty());
    EXPECT_EQ(web_.internalReloads.size(), 2u);

    // Deleting an unknown bookmark still saves (an unsaved change shows it).
    state->profileData.modify([](ProfileData& d) { d.bookmarks.push_back(Bookmark{}); });
    state->deleteBookmark(edited);
    EXPECT_EQ(reread().bookmarks.size(), 1u);
}

TEST_F(BookmarksTest, UnknownIdsChangeAndWriteNothing) {
    state->createBookmark("A", "https://a.example/", std::nullopt, std::nullopt);
    state->createBookmarkFolder("F");
    showBookmarksPage();
    const auto before = snapshot();
    const auto data = state->profileData.get();
    Bookmark stranger;
    stranger.title = "Stranger";
    state->updateBookmark(stranger);
    state->moveBookmark(Uuid::random(), folders()[0].id);
    state->renameBookmarkFolder(Uuid::random(), "X");
    EXPECT_EQ(state->profileData.get(), data);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(web_.internalReloads.empty());
}

TEST_F(BookmarksTest, MovingSetsTheFolderWithoutCheckingIt) {
    state->createBookmark("A", "https://a.example/", std::nullopt, std::nullopt);
    showBookmarksPage();
    const Uuid anywhere = Uuid::random();
    state->moveBookmark(bookmarks()[0].id, anywhere);
    EXPECT_EQ(bookmarks()[0].folderID, anywhere);
    state->moveBookmark(bookmarks()[0].id, std::nullopt);
    EXPECT_FALSE(bookmarks()[0].folderID);
    EXPECT_FALSE(reread().bookmarks[0].folderID);
    EXPECT_EQ(web_.internalReloads.size(), 2u);
}

// ---- folders ------------------------------------------------------------------------

TEST_F(BookmarksTest, NewFoldersTakeTheNextSortOrder) {
    state->createBookmarkFolder("First");
    ASSERT_EQ(folders().size(), 1u);
    EXPECT_EQ(folders()[0].sortOrder, 1);

    state->profileData.modify([](ProfileData& d) {
        d.bookmarkFolders[0].sortOrder = 7;
        d.bookmarkFolders.push_back({Uuid::random(), "One", 1});
    });
    state->createBookmarkFolder(" Third ");
    ASSERT_EQ(folders().size(), 3u);
    EXPECT_EQ(folders()[2].sortOrder, 8);
    EXPECT_EQ(folders()[2].name, " Third ");
    EXPECT_EQ(folders()[1].name, "One");  // the list is not re-sorted
    EXPECT_EQ(reread().bookmarkFolders, folders());
}

TEST_F(BookmarksTest, FolderSortOrderSaturatesAtTheLargestValue) {
    constexpr auto largest = std::numeric_limits<std::int64_t>::max();
    state->profileData.modify(
        [](ProfileData& d) { d.bookmarkFolders.push_back(BookmarkFolder{Uuid::random(), "Max", largest}); });
    state->createBookmarkFolder("After");
    EXPECT_EQ(folders().back().sortOrder, largest);
}

TEST_F(BookmarksTest, DeletingAFolderMovesItsBookmarksToTheTopLevel) {
    state->createBookmarkFolder("Doomed");
    state->createBookmarkFolder("Other");
    const Uuid doomed = folders()[0].id, other = folders()[1].id;
    for (const char* url : {"https://1.example/", "https://2.example/", "https://3.example/"})
        state->createBookmark("In", url, doomed, std::nullopt);
    state->createBookmark("Elsewhere", "https://4.example/", other, std::nullopt);
    showBookmarksPage();

    state->deleteBookmarkFolder(doomed);
    ASSERT_EQ(folders().size(), 1u);
    EXPECT_EQ(folders()[0].id, other);
    ASSERT_EQ(bookmarks().size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(bookmarks()[i].folderID);
    EXPECT_EQ(bookmarks()[3].folderID, other);
    EXPECT_EQ(state->folderName(doomed), "\u2014");
    EXPECT_EQ(web_.internalReloads.size(), 1u);

    const auto stored = reread();
    EXPECT_EQ(stored.bookmarks, asStored(bookmarks()));
    EXPECT_EQ(stored.bookmarkFolders, folders());

    // An unknown folder still saves and refreshes.
    state->profileData.modify([](ProfileData& d) { d.bookmarks.clear(); });
    state->deleteBookmarkFolder(Uuid::random());
    EXPECT_TRUE(reread().bookmarks.empty());
    EXPECT_EQ(web_.internalReloads.size(), 2u);
}

TEST_F(BookmarksTest, RenamingAndNamingFolders) {
    state->createBookmarkFolder("Work");
    showBookmarksPage();
    const Uuid id = folders()[0].id;
    EXPECT_EQ(state->folderName(id), "Work");
    state->renameBookmarkFolder(id, " Play ");
    EXPECT_EQ(state->folderName(id), " Play ");
    EXPECT_EQ(reread().bookmarkFolders[0].name, " Play ");
    EXPECT_EQ(web_.internalReloads.size(), 1u);

    // A name taken from the folder itself.
    state->renameBookmarkFolder(id, folders()[0].name);
    EXPECT_EQ(state->folderName(id), " Play ");

    EXPECT_EQ(state->folderName(std::nullopt), "\u2014");
    EXPECT_EQ(state->folderName(Uuid::random()), "\u2014");
}

}  // namespace
}  // namespace quorelle::testing
