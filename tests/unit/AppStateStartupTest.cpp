#include "model/JsonCodec.h"
#include "model/ThemePreset.h"
#include "support/StateTestSupport.h"
#include "unit/DataStoreTestSupport.h"

#include <algorithm>
#include <fstream>

namespace quorelle::testing {
namespace {

using StartupTest = StateTest;

TEST_F(StartupTest, FirstLaunchWritesSettingsAndTheDefaultProfile) {
    auto state = makeState();
    EXPECT_TRUE(state->appSettings.get().firstLaunchComplete);
    EXPECT_EQ(state->appSettings.get().currentProfileID, "default");
    EXPECT_EQ(state->theme(), [] {
        auto theme = ThemeSettings::chromeDefault(true);
        theme.background = ThemeBackground::defaultDark();
        return theme;
    }());
    EXPECT_TRUE(fileExists(root_ + "/appSettings.json"));
    for (const char* name : {"bookmarks.json", "bookmarkFolders.json", "history.json", "shortcuts.json",
                             "settings.json", "proxies.json", "tabGroups.json", "downloads.json", "theme.json",
                             "passwords-secure-reference.json", "savedThemes.json"})
        EXPECT_TRUE(fileExists(profileFile("default", name))) << name;

    ASSERT_EQ(state->tabs.get().size(), 1u);
    const auto tab = state->tabs.get().front();
    EXPECT_EQ(tab->title.get(), "New Tab");
    EXPECT_EQ(tab->urlString.get(), "vx://newtab");
    EXPECT_EQ(state->activeTabID.get(), tab->id());
    EXPECT_EQ(state->omniboxText.get(), "");
    EXPECT_EQ(state->sidebarKind.get(), SidebarKind::none);
    EXPECT_FALSE(state->isGuest());

    // The first page load is queued, not done during start-up.
    EXPECT_TRUE(web_.loads.empty());
    drain();
    ASSERT_EQ(web_.loads.size(), 1u);
    EXPECT_EQ(web_.loads[0].address, "vx://newtab");
    EXPECT_FALSE(web_.loads[0].historyStep);
}

TEST_F(StartupTest, SecondLaunchWritesNothing) {
    makeState();
    const auto before = snapshot();
    auto again = makeState();
    drain();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(again->appSettings.get().firstLaunchComplete);
}

TEST_F(StartupTest, DamagedSettingsFileDoesNotRerunFirstLaunch) {
    auto first = makeState();
    first->profileData.modify([](ProfileData& d) { d.theme = ThemeSettings::chromeDefault(false); });
    first->persist();
    first.reset();
    store_->flush();
    { std::ofstream(root_ + "/appSettings.json", std::ios::trunc) << "{ this is not json"; }

    auto state = makeState();
    // The light theme the user had stays; nothing is written at start-up.
    EXPECT_FALSE(state->theme().useDarkMode);
    EXPECT_TRUE(state->appSettings.get().firstLaunchComplete);
    EXPECT_EQ(std::ifstream(root_ + "/appSettings.json").peek(), '{');
    // The next save keeps the damaged file beside the new one.
    state->persist();
    bool movedAside = false;
    for (const auto& [path, time] : snapshot())
        if (path.find("appSettings.json.unreadable-") != std::string::npos) movedAside = true;
    EXPECT_TRUE(movedAside);
    auto reread = json::decode<AppSettings>(readFile(root_ + "/appSettings.json"));
    ASSERT_TRUE(reread);
    EXPECT_TRUE(reread->firstLaunchComplete);
}

TEST_F(StartupTest, AStartupProfileIdThatCannotNameAFolderOpensTheDefaultProfile) {
    auto first = makeState();
    first->profileData.modify([](ProfileData& d) { d.theme = ThemeSettings::chromeDefault(false); });
    first->persist();
    first.reset();
    for (const std::string& bad : std::vector<std::string>{"..", "a/../b", "", ".", "x/y", std::string("p\0q", 3)}) {
        AppSettings onDisk = AppSettings::initial();
        onDisk.profiles.push_back(BrowserProfile{.id = bad, .name = "Odd"});
        onDisk.currentProfileID = bad;
        onDisk.selectedStartupProfileID = bad;
        onDisk.firstLaunchComplete = true;
        store_->flush();
        { std::ofstream(root_ + "/appSettings.json", std::ios::trunc) << json::dumpPretty(toJson(onDisk)); }

        auto state = makeState();
        EXPECT_EQ(state->currentProfile().id, "default");
        EXPECT_EQ(state->appSettings.get().selectedStartupProfileID, "default");
        EXPECT_EQ(state->appSettings.get().currentProfileID, "default");
        EXPECT_FALSE(state->theme().useDarkMode) << "the default profile's own data is shown";
        // Its changes are kept, and switching to the odd id does nothing.
        state->profileData.modify([](ProfileData& d) { d.settings.homepage = "https://kept.example/"; });
        state->switchProfile(bad);
        EXPECT_EQ(state->currentProfile().id, "default");
        state->persist();
        auto saved = json::decode<BrowserSettings>(readFile(profileFile("default", "settings.json")));
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->homepage, "https://kept.example/");
        auto settings = json::decode<AppSettings>(readFile(root_ + "/appSettings.json"));
        ASSERT_TRUE(settings);
        EXPECT_EQ(settings->selectedStartupProfileID, "default");
        EXPECT_TRUE(std::any_of(settings->profiles.begin(), settings->profiles.end(),
                                [&](const BrowserProfile& p) { return p.id == bad; }))
            << "the listed profile itself is kept";
    }
}

TEST_F(StartupTest, GuestWindowUsesTheMidnightThemeAndNeverWrites) {
    auto state = makeState(true);
    drain();
    EXPECT_TRUE(snapshot().empty());
    EXPECT_FALSE(std::filesystem::exists(root_ + "/profiles"));
    EXPECT_TRUE(state->isGuest());
    EXPECT_EQ(state->currentProfile().id, "guest");
    const auto* midnight = ThemePreset::find("midnight");
    ASSERT_NE(midnight, nullptr);
    EXPECT_EQ(state->theme().colors, midnight->colors);
    EXPECT_EQ(state->theme().background.kind, ThemeBackground::BackgroundKind::solid);
    EXPECT_EQ(state->theme().background.solidColor, midnight->colors.newTabBackground);
    EXPECT_EQ(state->theme().background.gradientStart, midnight->colors.browserFrame);
    EXPECT_TRUE(state->theme().useDarkMode);
    EXPECT_EQ(state->profileData.get().shortcuts.size(), ShortcutItem::defaultShortcuts().size());

    state->newTab("https://example.com");
    state->persist();
    EXPECT_TRUE(snapshot().empty());
}

TEST_F(StartupTest, GuestShortcutsDoNotShareIdsWithOtherProfiles) {
    auto guest = makeState(true);
    auto main = makeState();
    for (const auto& g : guest->profileData.get().shortcuts)
        for (const auto& m : main->profileData.get().shortcuts) EXPECT_NE(g.id, m.id);
}

TEST_F(StartupTest, SidebarIsRestoredOnlyWhenAskedAndNeverInTheGuestWindow) {
    auto state = makeState();
    state->profileData.modify([](ProfileData& d) {
        d.settings.restoreSidebarOnLaunch = true;
        d.settings.sidebarKind = SidebarKind::history;
    });
    state->persist();
    EXPECT_EQ(makeState()->sidebarKind.get(), SidebarKind::history);
    EXPECT_EQ(makeState(true)->sidebarKind.get(), SidebarKind::none);
}

TEST_F(StartupTest, CurrentProfileFallsBackToDefault) {
    auto state = makeState();
    state->appSettings.modify([](AppSettings& s) { s.selectedStartupProfileID = "gone"; });
    EXPECT_EQ(state->currentProfile().id, "default");
    state->appSettings.modify([](AppSettings& s) { s.profiles.clear(); });
    EXPECT_EQ(state->currentProfile().id, "default");
    EXPECT_TRUE(state->currentProfile().isDefault);
}

TEST_F(StartupTest, ActiveTabFollowsTheSelectedId) {
    auto state = makeState();
    state->newTab("https://a.example");
    state->activeTabID.set(std::nullopt);
    EXPECT_EQ(state->activeTab(), state->tabs.get().front());
    state->activeTabID.set(Uuid::random());
    EXPECT_EQ(state->activeTab(), nullptr);
}

TEST_F(StartupTest, PersistAnnouncesEachStepAndAlignsIds) {
    auto state = makeState();
    int announcements = 0;
    state->appSettings.signalWillChange().connect([&] { ++announcements; });
    state->appSettings.modify([](AppSettings& s) { s.currentProfileID = "guest"; });
    announcements = 0;
    state->persist();
    EXPECT_EQ(announcements, 3);
    EXPECT_EQ(state->appSettings.get().currentProfileID, "default");
    EXPECT_EQ(state->appSettings.get().selectedStartupProfileID, "default");
}

TEST_F(StartupTest, ARefusedSaveIsToastedOnceInTheMainWindowAndWrittenLater) {
    auto state = makeState();
    auto guest = makeState(true);
    const std::string themeFile = profileFile("default", "theme.json");
    const std::string darkTheme = readFile(themeFile);
    {
        FullDisk full;
        state->applyTheme(ThemeSettings::chromeDefault(false));
        store_->flush();
        drain();
        EXPECT_EQ(state->toastMessage.get(),
                  "Couldn't save your browsing data: File too large: the file-size limit (ulimit -f) is 0 bytes");
        EXPECT_EQ(guest->toastMessage.get(), std::nullopt);
        state->toastMessage.set(std::nullopt);
        state->createBookmarkFolder("Kept");
        store_->flush();
        drain();
        EXPECT_EQ(state->toastMessage.get(), std::nullopt) << "the same cause is told once";
        EXPECT_EQ(readFile(themeFile), darkTheme);
    }
    // The change is kept and written by a later save.
    state->createBookmarkFolder("Later");
    EXPECT_FALSE(store_->loadProfileData("default").theme.useDarkMode);
}

TEST_F(StartupTest, DeveloperLogKeepsTheNewestFiveHundredLines) {
    auto state = makeState();
    state->log("ignored");
    state->profileData.modify([](ProfileData& d) { d.settings.developerMode = true; });
    state->log("still ignored");
    EXPECT_TRUE(state->developerLog.get().empty());
    state->profileData.modify([](ProfileData& d) { d.settings.advancedLogging = true; });
    for (int i = 0; i < 501; ++i) state->log("line " + std::to_string(i));
    const auto& log = state->developerLog.get();
    ASSERT_EQ(log.size(), 500u);
    EXPECT_NE(log.front().find("] line 1"), std::string::npos);
    EXPECT_NE(log.back().find("] line 500"), std::string::npos);
    EXPECT_EQ(log.back().front(), '[');
    EXPECT_EQ(log.back().substr(20, 3), "Z] ");
}

TEST_F(StartupTest, QueuedFirstLoadDoesNothingOnceTheStateIsGone) {
    makeState();
    drain();
    EXPECT_TRUE(web_.loads.empty());
}

}  // namespace
}  // namespace quorelle::testing
