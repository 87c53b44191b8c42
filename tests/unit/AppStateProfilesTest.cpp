#include "model/ThemePreset.h"
#include "support/StateTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace quorelle::testing {
namespace {

class ProfilesTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();
        web_.loads.clear();
        web_.internalReloads.clear();
    }
    // Creates a profile from the state and switches back to "default".
    std::string addProfile(const std::string& name) {
        state->createProfile(name);
        const std::string id = state->appSettings.get().selectedStartupProfileID;
        state->switchProfile("default");
        drain();
        return id;
    }
    const BrowserProfile* profile(const std::string& id) const {
        const auto& list = state->appSettings.get().profiles;
        auto it = std::find_if(list.begin(), list.end(), [&](const BrowserProfile& p) { return p.id == id; });
        return it == list.end() ? nullptr : &*it;
    }
    std::vector<std::string> profileIDs() const {
        std::vector<std::string> ids;
        for (const auto& p : state->appSettings.get().profiles) ids.push_back(p.id);
        return ids;
    }
    AppSettings settingsOnDisk() { return store_->loadAppSettings().value; }
    std::string selected() const { return state->appSettings.get().selectedStartupProfileID; }
    std::shared_ptr<AppState> state;
};

// ---- switching and creating ---------------------------------------------------

TEST_F(ProfilesTest, SwitchingToTheGuestProfileOrAnUnknownOneChangesNothing) {
    const auto tab = state->tabs.get().front();
    const auto before = snapshot();
    state->switchProfile("guest");
    state->switchProfile("nobody");
    state->switchProfile("");
    EXPECT_EQ(selected(), "default");
    EXPECT_EQ(state->tabs.get().front(), tab);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ProfilesTest, CreatedProfileIsListedLastAndOpensEmpty) {
    state->profileData.modify([](ProfileData& d) { d.history.push_back(HistoryItem{.title = "t", .url = "u"}); });
    state->createProfile("Work");
    const auto ids = profileIDs();
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids[0], "default");
    EXPECT_EQ(ids[1], "guest");
    const std::string id = ids[2];
    EXPECT_EQ(id.size(), 36u);
    EXPECT_TRUE(Uuid::parse(id));
    EXPECT_EQ(id, Uuid::parse(id)->toLowerString());
    EXPECT_EQ(profile(id)->name, "Work");
    EXPECT_FALSE(profile(id)->isGuest);
    EXPECT_FALSE(profile(id)->isDefault);

    EXPECT_EQ(selected(), id);
    EXPECT_EQ(state->appSettings.get().currentProfileID, id);
    EXPECT_TRUE(state->profileData.get().bookmarks.empty());
    EXPECT_TRUE(state->profileData.get().history.empty());
    ASSERT_EQ(state->tabs.get().size(), 1u);
    EXPECT_EQ(state->tabs.get().front()->urlString.get(), "vx://newtab");
    EXPECT_TRUE(fileExists(profileFile(id, "theme.json")));
    EXPECT_EQ(settingsOnDisk().selectedStartupProfileID, id);
    // The profile left behind was saved on the way out.
    EXPECT_EQ(store_->loadProfileData("default").history.size(), 1u);
}

TEST_F(ProfilesTest, EveryNewProfileHasItsOwnShortcutIds) {
    const auto a = addProfile("A");
    const auto b = addProfile("B");
    std::set<Uuid> seen;
    std::size_t total = 0;
    for (const auto& id : {std::string("default"), a, b})
        for (const auto& s : store_->loadProfileData(id).shortcuts) {
            seen.insert(s.id);
            ++total;
        }
    EXPECT_EQ(total, 18u);
    EXPECT_EQ(seen.size(), total);
}

TEST_F(ProfilesTest, SwitchLoadsTheOtherProfileAndStartsOverWithOneTab) {
    const auto work = addProfile("Work");
    auto workData = store_->loadProfileData(work);
    workData.settings.restoreSidebarOnLaunch = true;
    workData.settings.sidebarKind = SidebarKind::history;
    workData.bookmarks.push_back(Bookmark{});
    store_->saveProfileData(workData, work);
    state->passwordsUnlocked.set(true);
    web_.loads.clear();

    state->switchProfile(work);
    EXPECT_EQ(selected(), work);
    EXPECT_EQ(state->profileData.get().bookmarks.size(), 1u);
    EXPECT_EQ(state->sidebarKind.get(), SidebarKind::history);
    EXPECT_FALSE(state->passwordsUnlocked.get());
    EXPECT_EQ(settingsOnDisk().selectedStartupProfileID, work);
    // The first page of the new tab loads on a later turn of the main queue.
    EXPECT_TRUE(web_.loads.empty());
    drain();
    ASSERT_EQ(web_.loads.size(), 1u);
    EXPECT_EQ(web_.loads[0].tabID, state->tabs.get().front()->id());
}

TEST_F(ProfilesTest, SwitchReleasesTheWebViewsOfTheTabsItDrops) {
    const auto work = addProfile("Work");
    state->newTab("https://a.example");
    state->newTab("https://b.example");
    std::vector<Uuid> old;
    for (const auto& t : state->tabs.get()) old.push_back(t->id());
    web_.removedHosts.clear();

    state->switchProfile(work);
    EXPECT_EQ(web_.removedHosts, old);
    for (const auto& id : old) EXPECT_FALSE(web_.hasHost(id));
    EXPECT_EQ(state->tabs.get().size(), 1u);
}

// ---- editing --------------------------------------------------------------------

TEST_F(ProfilesTest, AvatarIsClearedByResetOrAnEmptyTextAndKeptWhenNotGiven) {
    const auto id = addProfile("P");
    state->updateProfile(id, std::nullopt, "https://img.example/a.png", false, std::nullopt, std::nullopt,
                         std::nullopt);
    EXPECT_EQ(profile(id)->avatarURL, "https://img.example/a.png");
    state->updateProfile(id, std::nullopt, std::nullopt, false, std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(profile(id)->avatarURL, "https://img.example/a.png");
    state->updateProfile(id, std::nullopt, "https://img.example/b.png", true, std::nullopt, std::nullopt,
                         std::nullopt);
    EXPECT_FALSE(profile(id)->avatarURL);

    state->updateProfile(id, "", " https://img.example/c.png ", false, std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(profile(id)->avatarURL, " https://img.example/c.png ");
    EXPECT_EQ(profile(id)->name, "P");  // an empty name is ignored
    state->updateProfile(id, "Q", "", false, std::nullopt, std::nullopt, std::nullopt);
    EXPECT_FALSE(profile(id)->avatarURL);
    EXPECT_EQ(profile(id)->name, "Q");
    EXPECT_EQ(settingsOnDisk().profiles.back().name, "Q");
}

TEST_F(ProfilesTest, LightPresetForAnotherProfileIsWrittenToItsFolderKeepingTheBackground) {
    const auto other = addProfile("Other");
    auto data = store_->loadProfileData(other);
    data.theme.background.solidColor = "#123456";
    store_->saveProfileData(data, other);
    const auto currentTheme = state->theme();

    state->updateProfile(other, std::nullopt, std::nullopt, false, "white", "duckduckgo", "https://img.example/bg");
    const auto stored = store_->loadProfileData(other);
    EXPECT_EQ(stored.theme.colors, ThemePreset::find("white")->colors);
    EXPECT_FALSE(stored.theme.useDarkMode);
    EXPECT_EQ(stored.theme.background.solidColor, "#123456");
    EXPECT_EQ(stored.theme.background.kind, ThemeBackground::BackgroundKind::image);
    EXPECT_EQ(stored.theme.background.imagePath, "https://img.example/bg");
    EXPECT_EQ(stored.settings.selectedSearchEngineID, "duckduckgo");
    EXPECT_EQ(profile(other)->themePresetID, "white");
    EXPECT_EQ(state->theme(), currentTheme);

    state->updateProfile(other, std::nullopt, std::nullopt, false, std::nullopt, std::nullopt, "");
    const auto cleared = store_->loadProfileData(other).theme.background;
    EXPECT_EQ(cleared.kind, ThemeBackground::BackgroundKind::image);
    EXPECT_FALSE(cleared.imagePath);

    // A new profile's dark default background gives way to the light one
    // under a light colour set.
    const auto fresh = addProfile("Fresh");
    state->updateProfile(fresh, std::nullopt, std::nullopt, false, "red", std::nullopt, std::nullopt);
    EXPECT_FALSE(store_->loadProfileData(fresh).theme.useDarkMode);
    EXPECT_EQ(store_->loadProfileData(fresh).theme.background, ThemeBackground::defaultLight());
}

TEST_F(ProfilesTest, PresetForTheCurrentProfileAppliesItToTheTheme) {
    state->setBackgroundImageURL("https://img.example/bg");
    const auto background = state->theme().background;
    state->updateProfile("default", std::nullopt, std::nullopt, false, "white", std::nullopt, std::nullopt);
    EXPECT_EQ(state->theme().colors, ThemePreset::find("white")->colors);
    EXPECT_FALSE(state->theme().useDarkMode);
    EXPECT_EQ(state->theme().background, background);

    state->updateProfile("default", std::nullopt, std::nullopt, false, "midnight", "bing", "");
    EXPECT_TRUE(state->theme().useDarkMode);
    EXPECT_EQ(state->theme().background, ThemeBackground::defaultDark());
    EXPECT_EQ(state->settings().selectedSearchEngineID, "bing");
    EXPECT_EQ(settingsOnDisk().profiles.front().themePresetID, "midnight");
    EXPECT_EQ(store_->loadProfileData("default").settings.selectedSearchEngineID, "bing");
}

TEST_F(ProfilesTest, UnknownPresetIdIsStoredButChangesNoColours) {
    const auto theme = state->theme();
    state->updateProfile("default", std::nullopt, std::nullopt, false, "plaid", std::nullopt, std::nullopt);
    EXPECT_EQ(profile("default")->themePresetID, "plaid");
    EXPECT_EQ(state->theme(), theme);
}

TEST_F(ProfilesTest, EditsOfUnknownOrGuestProfilesDoNothing) {
    const auto settings = state->appSettings.get();
    const auto before = snapshot();
    state->updateProfile("guest", "X", "a", false, "white", "bing", "b");
    state->updateProfile("nobody", "X", "a", false, "white", "bing", "b");
    state->renameProfile("guest", "X");
    state->renameProfile("nobody", "X");
    EXPECT_EQ(state->appSettings.get(), settings);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ProfilesTest, EditingTheProfilesPageInFrontReloadsIt) {
    state->navigateActive("vx://profiles");
    drain();
    web_.internalReloads.clear();
    state->updateProfile("default", "Me", std::nullopt, false, std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(web_.internalReloads.size(), 1u);
}

TEST_F(ProfilesTest, RenameKeepsTheNameAsTypedAndSaves) {
    const auto id = addProfile("Old");
    state->renameProfile(id, "  New name ");
    EXPECT_EQ(profile(id)->name, "  New name ");
    EXPECT_EQ(settingsOnDisk().profiles.back().name, "  New name ");
}

// ---- deleting -------------------------------------------------------------------

TEST_F(ProfilesTest, ReservedProfilesCannotBeDeleted) {
    const auto settings = state->appSettings.get();
    const auto before = snapshot();
    state->deleteProfile("default");
    state->deleteProfile("guest");
    EXPECT_EQ(state->appSettings.get(), settings);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(fileExists(profileFile("default", "theme.json")));
}

TEST_F(ProfilesTest, DeletingTheSelectedProfileFallsBackToDefaultWithItsOwnData) {
    state->profileData.modify([](ProfileData& d) { d.bookmarks.push_back(Bookmark{}); });
    state->persist();
    const auto work = addProfile("Work");
    state->switchProfile(work);
    state->profileData.modify([](ProfileData& d) { d.history.push_back(HistoryItem{}); });
    keychain_.plant("s1", "A", work);
    keychain_.plant("s2", "B", work);
    keychain_.plant("s3", "A", "default");
    web_.removedHosts.clear();
    const auto workTab = state->tabs.get().front()->id();

    state->deleteProfile(work);
    EXPECT_EQ(profileIDs(), (std::vector<std::string>{"default", "guest"}));
    EXPECT_EQ(selected(), "default");
    EXPECT_EQ(state->appSettings.get().currentProfileID, "default");
    EXPECT_EQ(state->profileData.get().bookmarks.size(), 1u);
    EXPECT_TRUE(state->profileData.get().history.empty());
    EXPECT_TRUE(store_->loadProfileData("default").history.empty());
    EXPECT_FALSE(fileExists(root_ + "/profiles/" + work));
    EXPECT_EQ(keychain_.countFor(work), 0u);
    EXPECT_TRUE(keychain_.contains("A", "default"));
    EXPECT_EQ(web_.removedHosts, std::vector<Uuid>{workTab});
    EXPECT_EQ(settingsOnDisk().profiles.size(), 2u);
    EXPECT_EQ(settingsOnDisk().selectedStartupProfileID, "default");
}

TEST_F(ProfilesTest, DeletingAnotherProfileKeepsTheCurrentOneAndRefreshesTheProfilesPage) {
    const auto other = addProfile("Other");
    const auto tab = state->tabs.get().front();
    state->navigateActive("vx://profiles");
    drain();
    web_.internalReloads.clear();
    state->deleteProfile(other);
    EXPECT_EQ(selected(), "default");
    EXPECT_EQ(state->tabs.get().front(), tab);
    EXPECT_EQ(web_.internalReloads, std::vector<Uuid>{tab->id()});
    EXPECT_FALSE(fileExists(root_ + "/profiles/" + other));
    EXPECT_EQ(settingsOnDisk().profiles.size(), 2u);
}

TEST_F(ProfilesTest, IdsThatAreNotListedProfilesNeverReachTheDisk) {
    const std::string outside = std::filesystem::path(root_).parent_path().string() + "/outside";
    std::filesystem::create_directories(outside);
    { std::ofstream(outside + "/keep.txt") << "x"; }
    std::filesystem::create_directories(root_ + "/profiles/stray");
    { std::ofstream(root_ + "/profiles/stray/keep.txt") << "x"; }
    keychain_.plant("s", "A", "stray");
    const auto settings = state->appSettings.get();
    const auto before = snapshot();

    for (const auto& id : std::vector<std::string>{"", ".", "..", "default/", "/default", "a/b", "stray", outside,
                                                  std::string("de\0fault", 8), "../profiles/default", "DEFAULT"})
        state->deleteProfile(id);

    EXPECT_EQ(state->appSettings.get(), settings);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(fileExists(outside + "/keep.txt"));
    EXPECT_TRUE(fileExists(root_ + "/profiles/stray/keep.txt"));
    EXPECT_TRUE(keychain_.contains("A", "stray"));
}

// ---- guest window ---------------------------------------------------------------

TEST_F(ProfilesTest, GuestWindowNeverChangesTheProfiles) {
    const auto work = addProfile("Work");
    keychain_.plant("s", "A", work);
    auto guest = makeState(true);
    drain();
    const auto settings = guest->appSettings.get();
    const auto theme = guest->theme();
    const auto before = snapshot();

    guest->createProfile("Intruder");
    guest->updateProfile(work, "X", "a", true, "white", "bing", "b");
    guest->renameProfile(work, "X");
    guest->deleteProfile(work);
    guest->switchProfile(work);

    EXPECT_EQ(guest->appSettings.get(), settings);
    EXPECT_EQ(guest->theme(), theme);
    EXPECT_FALSE(guest->toastMessage.get());
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(keychain_.contains("A", work));
    EXPECT_EQ(settingsOnDisk().profiles.size(), 3u);
}

}  // namespace
}  // namespace quorelle::testing
