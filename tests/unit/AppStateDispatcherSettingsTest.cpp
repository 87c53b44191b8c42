// Internal-page actions: profiles, themes, proxy profiles, website data,
// developer switches and the feedback export.
#include "model/ThemePreset.h"
#include "unit/DispatcherTestSupport.h"


#include <algorithm>

namespace quorelle::testing {
namespace {

class DispatcherSettingsTest : public DispatcherFixture {
protected:
    std::optional<BrowserProfile> profile(const std::string& id) const {
        const auto& list = state->appSettings.get().profiles;
        auto it = std::find_if(list.begin(), list.end(), [&](const BrowserProfile& p) { return p.id == id; });
        return it == list.end() ? std::nullopt : std::optional(*it);
    }
    std::optional<BrowserProfile> profileOnDisk(const std::string& id) {
        const auto list = store_->loadAppSettings().value.profiles;
        auto it = std::find_if(list.begin(), list.end(), [&](const BrowserProfile& p) { return p.id == id; });
        return it == list.end() ? std::nullopt : std::optional(*it);
    }
    std::string selected() const { return state->appSettings.get().selectedStartupProfileID; }
    const BrowserSettings& settings() const { return state->settings(); }
    ProfileData reread() { return makeState()->profileData.get(); }
    std::vector<Uuid> activeOnly() const { return {state->activeTab()->id()}; }

};

// ---- profiles ---------------------------------------------------------------------

TEST_F(DispatcherSettingsTest, CreateSwitchAndRenameProfiles) {
    send(action("createProfile", {{"name", ""}}));
    send(action("createProfile", {{"name", 1}}));
    ASSERT_EQ(state->appSettings.get().profiles.size(), 2u);
    send(action("createProfile", {{"name", "Work"}}));
    const std::string work = selected();
    ASSERT_NE(work, "default");
    EXPECT_EQ(profile(work)->name, "Work");

    send(action("switchProfile", {{"profileId", 0}}));
    EXPECT_EQ(selected(), work);
    send(action("switchProfile", {{"profileId", "default"}}));
    EXPECT_EQ(selected(), "default");

    show("vx://profiles");
    send(action("renameProfile", {{"profileId", work}, {"name", ""}}));
    send(action("renameProfile", {{"name", "Lost"}}));
    EXPECT_TRUE(web_.internalReloads.empty());
    send(action("renameProfile", {{"profileId", work}, {"name", "Job"}}));
    EXPECT_EQ(profileOnDisk(work)->name, "Job");
    EXPECT_EQ(web_.internalReloads, activeOnly());
}

TEST_F(DispatcherSettingsTest, UpdateProfileWithoutAnIdEditsTheStartupProfile) {
    send(action("updateProfile", {{"name", "Me"}, {"avatarURL", "https://a.example/me.png"}}));
    EXPECT_EQ(profile("default")->name, "Me");
    EXPECT_EQ(profileOnDisk("default")->avatarURL, "https://a.example/me.png");
    // Only the Bool true resets; a missing or mistyped flag counts as false.
    send(action("updateProfile", {{"profileId", "default"}, {"resetAvatar", "true"}}));
    EXPECT_EQ(profile("default")->avatarURL, "https://a.example/me.png");
    send(action("updateProfile", {{"profileId", "default"}, {"resetAvatar", true}}));
    EXPECT_FALSE(profileOnDisk("default")->avatarURL);
    send(action("updateProfile", {{"searchEngineID", "duckduckgo"}, {"themePresetID", 4}}));
    EXPECT_EQ(reread().settings.selectedSearchEngineID, "duckduckgo");
}

TEST_F(DispatcherSettingsTest, DeleteProfileRemovesOnlyAListedProfileOfTheUser) {
    state->createProfile("Work");
    const std::string work = selected();
    state->switchProfile("default");
    drain();
    for (const Json& id : {Json("default"), Json("guest"), Json(""), Json(".."), Json("../.."), Json("default/"),
                           Json(root_), Json(Uuid::random().toLowerString()), Json(5)})
        send(action("deleteProfile", {{"profileId", id}}));
    EXPECT_EQ(state->appSettings.get().profiles.size(), 3u);
    EXPECT_TRUE(fileExists(root_ + "/appSettings.json"));
    EXPECT_TRUE(std::filesystem::exists(root_ + "/profiles/default"));
    send(action("deleteProfile", {{"profileId", work}}));
    EXPECT_FALSE(profile(work));
    EXPECT_FALSE(profileOnDisk(work));
    EXPECT_FALSE(std::filesystem::exists(root_ + "/profiles/" + work));
}

TEST_F(DispatcherSettingsTest, GuestWindowLeavesEveryProfileAlone) {
    state->createProfile("Work");
    const std::string work = selected();
    state.reset();
    auto guest = makeState(true);
    drain();
    const auto before = snapshot();
    const auto profiles = guest->appSettings.get().profiles;
    for (const Json& message :
         {action("createProfile", {{"name", "Intruder"}}), action("renameProfile", {{"profileId", work}, {"name", "X"}}),
          action("updateProfile", {{"profileId", work}, {"name", "X"}}), action("deleteProfile", {{"profileId", work}}),
          action("setProfileAvatar", {{"url", "https://a.example/x.png"}}), action("switchProfile", {{"profileId", work}})})
        guest->handleInternalMessage(message);
    drain();
    EXPECT_EQ(guest->appSettings.get().profiles, profiles);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(DispatcherSettingsTest, SetProfileAvatarTrimsTheAddressOrClearsIt) {
    show("vx://profiles");
    send(action("setProfileAvatar", {{"url", " \thttps://a.example/me.png\n"}}));
    EXPECT_EQ(profileOnDisk("default")->avatarURL, "https://a.example/me.png");
    EXPECT_EQ(web_.internalReloads, activeOnly());
    send(action("setProfileAvatar", {{"url", "   "}}));
    EXPECT_FALSE(profileOnDisk("default")->avatarURL);
    state->appSettings.modify([](AppSettings& s) { s.profiles[0].avatarURL = "https://a.example/old.png"; });
    send(action("setProfileAvatar", {{"url", 9}}));
    EXPECT_FALSE(profile("default")->avatarURL);
}

TEST_F(DispatcherSettingsTest, SetProfileAvatarWithoutAStartupProfileChangesNothing) {
    show("vx://profiles");
    state->appSettings.modify([](AppSettings& s) { s.selectedStartupProfileID = "missing"; });
    const auto before = snapshot();
    const auto profiles = state->appSettings.get().profiles;
    send(action("setProfileAvatar", {{"url", "https://a.example/x.png"}}));
    EXPECT_EQ(state->appSettings.get().profiles, profiles);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(web_.internalReloads.empty());
}

// ---- themes ------------------------------------------------------------------------

TEST_F(DispatcherSettingsTest, ApplyPresetTakesAKnownPresetId) {
    const auto before = snapshot();
    send(action("applyPreset", {{"presetId", "no-such-preset"}}));
    send(action("applyPreset", {{"presetId", 1}}));
    send(action("applyPreset", {{"presetId", "White"}}));
    EXPECT_EQ(snapshot(), before);
    send(action("applyPreset", {{"presetId", "white"}}));
    EXPECT_EQ(state->theme().colors, ThemePreset::find("white")->colors);
    EXPECT_FALSE(reread().theme.useDarkMode);
    EXPECT_EQ(profileOnDisk("default")->themePresetID, "white");
}

TEST_F(DispatcherSettingsTest, SaveThemeColorChangesOneColour) {
    send(action("saveThemeColor", {{"key", "accent"}, {"value", 0x123456}}));
    send(action("saveThemeColor", {{"value", "#123456"}}));
    EXPECT_NE(state->theme().colors.accent, "#123456");
    send(action("saveThemeColor", {{"key", "accent"}, {"value", "#123456"}}));
    EXPECT_EQ(reread().theme.colors.accent, "#123456");
}

TEST_F(DispatcherSettingsTest, ResetThemeDarkRestoresTheDarkDefaultAndReloadsAnyActiveTab) {
    state->applyPreset(*ThemePreset::find("white"));
    show("https://a.example");
    send(action("resetThemeDark"));
    ThemeSettings expected = ThemeSettings::chromeDefault(true);
    expected.background = ThemeBackground::defaultDark();
    EXPECT_EQ(state->theme(), expected);
    EXPECT_EQ(reread().theme.colors, expected.colors);
    EXPECT_EQ(profileOnDisk("default")->themePresetID, "black");
    EXPECT_NE(std::find(web_.internalReloads.begin(), web_.internalReloads.end(), state->activeTab()->id()),
              web_.internalReloads.end());
}

TEST_F(DispatcherSettingsTest, SetBackgroundImageTakesTheAddressOrClearsItWhenEmpty) {
    send(action("setBackgroundImage"));
    send(action("setBackgroundImage", {{"url", Json::object()}}));
    EXPECT_FALSE(state->theme().background.imagePath);
    send(action("setBackgroundImage", {{"url", " https://a.example/bg.png"}}));
    EXPECT_EQ(reread().theme.background.imagePath, " https://a.example/bg.png");
    EXPECT_EQ(state->theme().background.kind, ThemeBackground::BackgroundKind::image);
    send(action("setBackgroundImage", {{"url", ""}}));
    EXPECT_FALSE(reread().theme.background.imagePath);
}

// ---- proxy profiles and website data ---------------------------------------------

class DispatcherProxyTest : public DispatcherSettingsTest {
protected:
    void SetUp() override {
        DispatcherSettingsTest::SetUp();
        for (const char* name : {"One", "Two"}) {
            ProxyProfile p;
            p.name = name;
            p.host = "proxy.example";
            p.isEnabled = true;
            state->profileData.modify([&](ProfileData& d) { d.proxies.push_back(p); });
        }
        second = proxies()[1].id;
        state->profileData.modify([&](ProfileData& d) {
            d.settings.activeProxyID = second;
            d.settings.proxyAddonEnabled = true;
        });
        state->persist();
    }
    const std::vector<ProxyProfile>& proxies() const { return state->profileData.get().proxies; }
    Uuid second;
};

TEST_F(DispatcherProxyTest, TurningTheAddOnOffDisablesEveryProfileButKeepsTheActiveOne) {
    const auto before = snapshot();
    send(action("toggleProxyAddon", {{"enabled", "false"}}));
    send(action("toggleProxyAddon", {{"enabled", 0}}));
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(state->toastMessage.get());

    send(action("toggleProxyAddon", {{"enabled", false}}));
    EXPECT_EQ(state->toastMessage.get(), "Proxy add-on disabled");
    const ProfileData saved = reread();
    EXPECT_FALSE(saved.settings.proxyAddonEnabled);
    EXPECT_FALSE(saved.proxies[0].isEnabled || saved.proxies[1].isEnabled);
    EXPECT_EQ(saved.settings.activeProxyID, second);

    send(action("toggleProxyAddon", {{"enabled", true}}));
    EXPECT_EQ(state->toastMessage.get(), "Proxy add-on enabled");
    EXPECT_TRUE(reread().settings.proxyAddonEnabled);
    EXPECT_FALSE(proxies()[0].isEnabled || proxies()[1].isEnabled);
}

TEST_F(DispatcherProxyTest, SaveTestAndDeleteProxyProfiles) {
    send(action("saveProxy", {{"profileId", second.toLowerString()}, {"name", "Renamed"}, {"port", 3128},
                              {"token", "ignored"}}));
    EXPECT_EQ(reread().proxies[1].name, "Renamed");
    EXPECT_EQ(proxies()[1].port, 3128);

    send(action("testProxy", {{"profileId", second.toString()}}));
    send(action("testProxy", {{"profileId", 17}}));
    ASSERT_EQ(web_.proxyTests.size(), 2u);
    EXPECT_EQ(web_.proxyTests[0].proxy.id, second);
    EXPECT_EQ(web_.proxyTests[1].proxy.id, proxies()[0].id);

    const auto before = snapshot();
    send(action("deleteProxy", {{"profileId", 17}}));
    send(action("deleteProxy", {{"profileId", "proxy-1"}}));
    send(action("deleteProxy"));
    EXPECT_EQ(snapshot(), before);
    send(action("deleteProxy", {{"profileId", second.toLowerString()}}));
    EXPECT_EQ(reread().proxies.size(), 1u);
}

TEST_F(DispatcherSettingsTest, ClearWebsiteDataToastsOnlyWhileTheStateLives) {
    send(action("clearWebsiteData"));
    ASSERT_EQ(web_.websiteDataClears.size(), 1u);
    EXPECT_FALSE(state->toastMessage.get());
    web_.websiteDataClears[0]();
    drain();
    EXPECT_EQ(state->toastMessage.get(), "Website data cleared");

    send(action("clearWebsiteData"));
    state.reset();
    web_.websiteDataClears[1]();
    drain();  // nothing left to tell
}

// ---- developer switches and feedback -----------------------------------------------

TEST_F(DispatcherSettingsTest, FlagsAndDeveloperModeTakeOnlyBools) {
    const auto before = snapshot();
    send(action("toggleFlag", {{"key", "smooth-scrolling"}, {"value", "true"}}));
    send(action("toggleFlag", {{"key", 3}, {"value", true}}));
    send(action("setDeveloperMode", {{"value", 1}}));
    EXPECT_EQ(snapshot(), before);
    send(action("toggleFlag", {{"key", "smooth-scrolling"}, {"value", true}}));
    send(action("toggleFlag", {{"key", "smooth-scrolling"}, {"value", false}}));
    send(action("setDeveloperMode", {{"value", true}}));
    const ProfileData saved = reread();
    EXPECT_EQ(saved.settings.flags, (std::map<std::string, bool>{{"smooth-scrolling", false}}));
    EXPECT_TRUE(saved.settings.developerMode);
}

TEST_F(DispatcherSettingsTest, ExportFeedbackReplacesTheClipboardEvenWithEmptyText) {
    send(action("exportFeedback", {{"text", 5}}));
    send(action("exportFeedback"));
    EXPECT_TRUE(clipboard_.texts.empty());
    EXPECT_FALSE(state->toastMessage.get());
    send(action("exportFeedback", {{"text", "Tabs flicker"}}));
    send(action("exportFeedback", {{"text", ""}}));
    EXPECT_EQ(clipboard_.texts, (std::vector<std::string>{"Tabs flicker", ""}));
    EXPECT_EQ(state->toastMessage.get(), "Feedback copied to clipboard");
}

}  // namespace
}  // namespace quorelle::testing
