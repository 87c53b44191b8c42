// Internal-page actions: the dispatch rules, navigation and window flags,
// history, downloads, bookmarks and folders.
#include "unit/DispatcherTestSupport.h"


namespace quorelle::testing {
namespace {

class DispatcherTest : public DispatcherFixture {
protected:
    void enableDeveloperLog() {
        state->profileData.modify([](ProfileData& d) {
            d.settings.developerMode = true;
            d.settings.advancedLogging = true;
        });
    }
    std::string activeAddress() const { return state->activeTab()->urlString.get(); }
    const ProfileData& data() const { return state->profileData.get(); }
    ProfileData reread() { return makeState()->profileData.get(); }
    std::vector<Uuid> activeOnly() const { return {state->activeTab()->id()}; }

};

// ---- dispatch rules -------------------------------------------------------------

TEST_F(DispatcherTest, MessagesWithoutAStringActionAreDroppedBeforeTheLog) {
    enableDeveloperLog();
    const auto before = snapshot();
    for (const Json& message : {Json::object(), Json{{"action", 5}, {"url", "https://a.example"}},
                                Json{{"action", nullptr}}, Json{{"action", {"navigate"}}}, Json{{"action", true}},
                                Json::array({"navigate", "https://a.example"}), Json("navigate"), Json()})
        send(message);
    EXPECT_TRUE(state->developerLog.get().empty());
    EXPECT_TRUE(web_.loads.empty());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(DispatcherTest, NamesAreComparedExactlyAndUnknownOnesOnlyLeaveTheLogLine) {
    enableDeveloperLog();
    const auto before = snapshot();
    send(action("Navigate", {{"url", "https://a.example"}}));
    send(action("navigate ", {{"url", "https://a.example"}}));
    send(action("launch"));
    const auto& log = state->developerLog.get();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_TRUE(log[0].ends_with("] Internal action: Navigate"));
    EXPECT_TRUE(log[2].ends_with("] Internal action: launch"));
    EXPECT_EQ(activeAddress(), "vx://newtab");
    EXPECT_TRUE(web_.loads.empty());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(DispatcherTest, ActionsAreLoggedOnlyWithDeveloperModeAndAdvancedLogging) {
    send(action("showNewBookmark"));
    state->profileData.modify([](ProfileData& d) { d.settings.developerMode = true; });
    send(action("showNewBookmark"));
    state->profileData.modify([](ProfileData& d) {
        d.settings.developerMode = false;
        d.settings.advancedLogging = true;
    });
    send(action("showNewBookmark"));
    EXPECT_TRUE(state->developerLog.get().empty());
    enableDeveloperLog();
    send(action("showNewBookmark"));
    ASSERT_EQ(state->developerLog.get().size(), 1u);
    EXPECT_TRUE(state->developerLog.get()[0].ends_with("] Internal action: showNewBookmark"));
}

TEST_F(DispatcherTest, KeysAnActionDoesNotKnowAreIgnored) {
    send(action("navigate", {{"url", "https://a.example"}, {"token", "stale"}, {"extra", {1, 2}}}));
    EXPECT_EQ(activeAddress(), "https://a.example");
}

// ---- navigation and window flags ------------------------------------------------

TEST_F(DispatcherTest, NavigateAndSearchOrNavigateNeedAStringAddress) {
    send(action("navigate"));
    send(action("navigate", {{"url", 42}}));
    send(action("searchOrNavigate", {{"query", true}}));
    send(action("searchOrNavigate", {{"query", {{"text", "x"}}}}));
    EXPECT_TRUE(web_.loads.empty());
    send(action("navigate", {{"url", "https://a.example"}}));
    EXPECT_EQ(activeAddress(), "https://a.example");
    send(action("searchOrNavigate", {{"query", "vx://history"}}));
    EXPECT_EQ(activeAddress(), "vx://history");
    send(action("searchOrNavigate", {{"query", "quorelle dispatcher"}}));
    EXPECT_NE(activeAddress().find("quorelle"), std::string::npos);
    EXPECT_FALSE(QuorelleAssets::isInternalURL(activeAddress()));
}

TEST_F(DispatcherTest, OpenSettingsFallsBackToTheSettingsPageAndThemeEditorOpensThemes) {
    send(action("openSettings"));
    EXPECT_EQ(activeAddress(), "vx://settings");
    show("https://a.example");
    send(action("openSettings", {{"url", 7}}));
    EXPECT_EQ(activeAddress(), "vx://settings");
    send(action("openSettings", {{"url", "vx://flags"}}));
    EXPECT_EQ(activeAddress(), "vx://flags");
    send(action("openThemeEditor"));
    EXPECT_EQ(activeAddress(), "vx://themes");
}

TEST_F(DispatcherTest, WindowFlagsOpenTheirSheets) {
    send(action("showNewTabCustomize"));
    send(action("showShortcutsEditor"));
    send(action("showNewBookmark"));
    EXPECT_TRUE(state->showNewTabCustomize.get());
    EXPECT_TRUE(state->showShortcutsEditor.get());
    EXPECT_TRUE(state->showNewBookmarkSheet.get());
}

TEST_F(DispatcherTest, GuestWindowRefusesNewTabCustomizeButOpensTheShortcutsEditor) {
    auto guest = makeState(true);
    drain();
    guest->handleInternalMessage(action("showNewTabCustomize"));
    guest->handleInternalMessage(action("showShortcutsEditor"));
    EXPECT_FALSE(guest->showNewTabCustomize.get());
    EXPECT_TRUE(guest->showShortcutsEditor.get());
}

TEST_F(DispatcherTest, ReloadInternalRendersTheActiveTabAgain) {
    show("vx://downloads");
    send(action("reloadInternal"));
    EXPECT_EQ(web_.internalReloads, activeOnly());
    state->activeTabID.set(Uuid::random());  // no tab is active
    send(action("reloadInternal"));
    EXPECT_EQ(web_.internalReloads.size(), 1u);
}

TEST_F(DispatcherTest, CloseInactiveTabsKeepsOnlyTheSelectedTab) {
    state->newTab("https://b.example");
    state->newTab("https://c.example");
    drain();
    send(action("closeInactiveTabs"));
    ASSERT_EQ(state->tabs.get().size(), 1u);
    EXPECT_EQ(activeAddress(), "https://c.example");
}

// ---- history and downloads -------------------------------------------------------

class DispatcherHistoryTest : public DispatcherTest {
protected:
    void SetUp() override {
        DispatcherTest::SetUp();
        state->addHistory("One", "https://one.example");
        state->addHistory("Two", "https://two.example");
        state->addDownload("a.zip", "https://one.example/a.zip", std::nullopt, 10);
        show("vx://history");
    }
};

TEST_F(DispatcherHistoryTest, ClearHistoryEmptiesItSavesAndReloadsTheHistoryPage) {
    send(action("clearHistory"));
    EXPECT_TRUE(data().history.empty());
    EXPECT_TRUE(reread().history.empty());
    EXPECT_EQ(web_.internalReloads, activeOnly());
}

TEST_F(DispatcherHistoryTest, DeleteHistoryItemTakesTheIdInEitherCase) {
    const HistoryItem doomed = data().history.back();
    send(action("deleteHistoryItem", {{"itemId", doomed.id.toLowerString()}}));
    ASSERT_EQ(data().history.size(), 1u);
    EXPECT_EQ(data().history[0].title, "Two");
    EXPECT_EQ(reread().history.size(), 1u);
    EXPECT_EQ(web_.internalReloads, activeOnly());
}

TEST_F(DispatcherHistoryTest, DeleteHistoryItemWithoutAMatchNeitherSavesNorReloads) {
    const std::string id = data().history[0].id.toString();
    const auto before = snapshot();
    for (const Json& itemId : {Json(Uuid::random().toString()), Json("not-a-uuid"), Json(42), Json(id.substr(1)),
                               Json("{" + id + "}"), Json::array({id}), Json{{"id", id}}, Json()})
        send(action("deleteHistoryItem", {{"itemId", itemId}}));
    send(action("deleteHistoryItem"));
    EXPECT_EQ(data().history.size(), 2u);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(web_.internalReloads.empty());
}

TEST_F(DispatcherHistoryTest, ClearDownloadsSavesWithoutReloadingAPage) {
    show("vx://downloads");
    send(action("clearDownloads"));
    EXPECT_TRUE(data().downloads.empty());
    EXPECT_TRUE(reread().downloads.empty());
    EXPECT_TRUE(web_.internalReloads.empty());
}

// ---- bookmarks and folders ----------------------------------------------------------

TEST_F(DispatcherTest, CreateBookmarkWithoutParametersAddsAnEmptyTopLevelBookmark) {
    send(action("createBookmark"));
    ASSERT_EQ(data().bookmarks.size(), 1u);
    const Bookmark& made = data().bookmarks[0];
    EXPECT_EQ(made.title, "");
    EXPECT_EQ(made.url, "");
    EXPECT_FALSE(made.folderID);
    EXPECT_FALSE(made.customIconURL);
    EXPECT_EQ(reread().bookmarks.size(), 1u);
}

TEST_F(DispatcherTest, CreateBookmarkFilesItAndReloadsTheBookmarksPage) {
    state->createBookmarkFolder("Reading");
    const Uuid folder = data().bookmarkFolders[0].id;
    show("vx://bookmarks");
    send(action("createBookmark", {{"title", "Docs"}, {"url", "vx://settings"}, {"folderId", folder.toLowerString()},
                                   {"customIconURL", "https://icons.example/d.png"}}));
    send(action("createBookmark", {{"title", 3}, {"folderId", "nope"}, {"customIconURL", false}}));
    ASSERT_EQ(data().bookmarks.size(), 2u);
    const Bookmark& filed = data().bookmarks[0];
    EXPECT_EQ(filed.title, "Docs");
    EXPECT_EQ(filed.folderID, folder);
    EXPECT_EQ(filed.faviconURL, std::string(QuorelleAssets::logoFaviconReference));
    EXPECT_EQ(filed.customIconURL, "https://icons.example/d.png");
    EXPECT_EQ(data().bookmarks[1].title, "");
    EXPECT_FALSE(data().bookmarks[1].folderID);
    EXPECT_FALSE(data().bookmarks[1].customIconURL);
    EXPECT_EQ(reread().bookmarks[0].folderID, folder);
    EXPECT_EQ(web_.internalReloads.size(), 2u);
}

TEST_F(DispatcherTest, FolderActionsCheckNamesAndIds) {
    send(action("createBookmarkFolder", {{"name", ""}}));
    send(action("createBookmarkFolder", {{"name", 7}}));
    EXPECT_TRUE(data().bookmarkFolders.empty());
    send(action("createBookmarkFolder", {{"name", "  "}}));
    ASSERT_EQ(data().bookmarkFolders.size(), 1u);
    const Uuid id = data().bookmarkFolders[0].id;

    send(action("renameBookmarkFolder", {{"folderId", 1}, {"name", "Never"}}));
    send(action("renameBookmarkFolder", {{"folderId", id.toString()}, {"name", false}}));
    EXPECT_EQ(data().bookmarkFolders[0].name, "  ");
    send(action("renameBookmarkFolder", {{"folderId", id.toString()}, {"name", ""}}));
    EXPECT_EQ(data().bookmarkFolders[0].name, "");
    EXPECT_EQ(reread().bookmarkFolders[0].name, "");

    send(action("deleteBookmarkFolder", {{"folderId", Json::array({id.toString()})}}));
    EXPECT_EQ(data().bookmarkFolders.size(), 1u);
    send(action("deleteBookmarkFolder", {{"folderId", id.toLowerString()}}));
    EXPECT_TRUE(data().bookmarkFolders.empty());
    EXPECT_TRUE(reread().bookmarkFolders.empty());
}

TEST_F(DispatcherTest, EditAndDeleteBookmarkFindTheBookmarkById) {
    state->createBookmark("Kept", "vx://history", std::nullopt, std::nullopt);
    state->createBookmark("Doomed", "vx://downloads", std::nullopt, std::nullopt);
    const Bookmark kept = data().bookmarks[0];
    const Bookmark doomed = data().bookmarks[1];
    show("vx://bookmarks");

    send(action("editBookmark", {{"bookmarkId", Uuid::random().toString()}}));
    send(action("editBookmark", {{"bookmarkId", 12}}));
    EXPECT_FALSE(state->editingBookmark.get());
    send(action("editBookmark", {{"bookmarkId", kept.id.toLowerString()}}));
    EXPECT_EQ(state->editingBookmark.get(), kept);

    const auto before = snapshot();
    send(action("deleteBookmark", {{"bookmarkId", Uuid::random().toString()}}));
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(web_.internalReloads.empty());
    send(action("deleteBookmark", {{"bookmarkId", doomed.id.toString()}}));
    ASSERT_EQ(data().bookmarks.size(), 1u);
    EXPECT_EQ(data().bookmarks[0].id, kept.id);
    EXPECT_EQ(reread().bookmarks.size(), 1u);
    EXPECT_EQ(web_.internalReloads, activeOnly());
}

}  // namespace
}  // namespace quorelle::testing
