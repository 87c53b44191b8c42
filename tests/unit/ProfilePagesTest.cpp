#include "model/BrowserProfile.h"
#include "model/ThemePreset.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "support/HostileCorpus.h"
#include "unit/InternalPageScan.h"
#include "unit/PageTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

namespace quorelle {
namespace {

using testing::pagetest::at;
using testing::pagetest::contains;

namespace pagescan = testing::pagescan;

using pages::memoryPage;
using pages::performancePage;
using pages::permissionsPage;
using pages::privacyPage;
using pages::profilesPage;
using pages::securityPage;
using pages::sessionsPage;

// The card of one profile, from its opening tag to the next card or the end.
std::string profileCard(const std::string& html, std::string_view id) {
    std::size_t start = html.find("<div class=\"card profile-card\" data-profile=\"" + std::string(id) + "\">");
    if (start == std::string::npos) return {};
    std::size_t end = html.find("<div class=\"card profile-card\"", start + 1);
    if (end == std::string::npos) end = html.find("<script>", start);
    return html.substr(start, end - start);
}

std::shared_ptr<BrowserTab> makeTab(std::string title, bool loading = false) {
    auto tab = std::make_shared<BrowserTab>(BrowserTab::Options{.title = std::move(title)});
    tab->isLoading.set(loading);
    return tab;
}

class ProfilePagesTest : public ::testing::Test {
protected:
    ProfilePagesTest() {
        context.loadProfileData = [this](const std::string& id) {
            auto found = stored.find(id);
            return found == stored.end() ? ProfileData::empty() : found->second;
        };
    }

    BrowserProfile addProfile(std::string id, std::string name) {
        BrowserProfile profile{std::move(id), std::move(name), false, false, Date::now(), std::nullopt, std::nullopt};
        context.appSettings.profiles.push_back(profile);
        return profile;
    }

    InternalPageContext context = testing::pagetest::plainPageContext();
    std::map<std::string, ProfileData> stored;
};

TEST_F(ProfilePagesTest, EveryPageHasItsTitleHeaderAndPageDiv) {
    struct Case {
        std::string (*render)(const InternalPageContext&);
        std::string_view title, header, description;
    };
    const Case cases[] = {
        {profilesPage, "Profiles", "Profiles", "Create, edit, and switch profiles"},
        {sessionsPage, "Sessions", "Sessions", "Current browsing session"},
        {permissionsPage, "Permissions", "Site permissions", "Site access categories"},
        {privacyPage, "Privacy", "Privacy", "Control browsing data"},
        {securityPage, "Security", "Security", "Connection security"},
        {performancePage, "Performance", "Performance", "Tab overview (no simulated CPU metrics)"},
        {memoryPage, "Memory", "Memory", "Tab and cache management"},
    };
    for (const Case& c : cases) {
        std::string html = c.render(context);
        EXPECT_TRUE(contains(html, "<title>" + std::string(c.title) + "</title>")) << c.title;
        EXPECT_TRUE(contains(html, "<body><div class=\"page\">\n  " +
                                       InternalHTMLStyles::pageHeader(c.header, c.description)))
            << c.title;
    }
}

TEST_F(ProfilePagesTest, ProfileCardsFollowTheProfileListWithTheCurrentBadge) {
    addProfile("3f2a0c9e-1111-4222-8333-444455556666", "Work");
    std::string html = profilesPage(context);
    std::size_t create = at(html, "onclick=\"var n=prompt('Profile name'); if(n) vxAction({action:'createProfile', name:n})\">Create profile</button>");
    std::size_t first = at(html, "data-profile=\"default\"");
    std::size_t second = at(html, "data-profile=\"guest\"");
    std::size_t third = at(html, "data-profile=\"3f2a0c9e-1111-4222-8333-444455556666\"");
    EXPECT_LT(create, first);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_TRUE(contains(profileCard(html, "default"), "<h2>Default <span class=\"badge\">Current</span></h2>"));
    EXPECT_TRUE(contains(profileCard(html, "guest"), "<h2>Guest</h2>"));
    EXPECT_TRUE(contains(html, "function vxSaveProfile(id)"));
    EXPECT_GT(html.find("function vxSaveProfile(id)"), html.rfind("</div>", html.find("<script>")));
}

TEST_F(ProfilePagesTest, GuestCardHasOnlySwitchAndDefaultCardCannotBeDeleted) {
    addProfile("work", "Work");
    std::string html = profilesPage(context);
    std::string guest = profileCard(html, "guest");
    EXPECT_TRUE(contains(guest, "vxAction({action:'switchProfile', profileId:'guest'})"));
    EXPECT_FALSE(contains(guest, "profile-name"));
    EXPECT_FALSE(contains(guest, "Save changes"));
    EXPECT_FALSE(contains(guest, "Delete"));
    EXPECT_TRUE(contains(guest, "<p>Guest · Theme: Dark</p>"));

    std::string standard = profileCard(html, "default");
    EXPECT_TRUE(contains(standard, "<p>Normal · Theme: Dark</p>"));
    EXPECT_TRUE(contains(standard, "onclick=\"vxSaveProfile('default')\">Save changes</button>"));
    EXPECT_FALSE(contains(standard, "deleteProfile"));

    std::string work = profileCard(html, "work");
    EXPECT_TRUE(contains(work, "class=\"btn btn-danger\" onclick=\"if(confirm('Delete profile?')) "
                               "vxAction({action:'deleteProfile', profileId:'work'})\">Delete</button>"));
    EXPECT_LT(work.find("Switch"), work.find("Save changes"));
    EXPECT_LT(work.find("Save changes"), work.find(">Delete<"));
}

TEST_F(ProfilePagesTest, ProfileWithoutPresetShowsModeLabelAndSelectsBlack) {
    context.profileData.theme.useDarkMode = false;
    std::string card = profileCard(profilesPage(context), "default");
    EXPECT_TRUE(contains(card, "<p>Normal · Theme: Light</p>"));
    EXPECT_TRUE(contains(card, "<option value=\"black\" selected>Black</option>"));
    EXPECT_TRUE(contains(card, "<option value=\"chrome\" >Chrome Default</option>"));
    EXPECT_TRUE(contains(card, "<option value=\"bw\" >Black &amp; White</option>"));

    context.appSettings.profiles[0].themePresetID = "ocean";
    card = profileCard(profilesPage(context), "default");
    EXPECT_TRUE(contains(card, "<p>Normal · Theme: ocean</p>"));
    EXPECT_TRUE(contains(card, "<option value=\"ocean\" selected>Ocean</option>"));
    EXPECT_TRUE(contains(card, "<option value=\"black\" >Black</option>"));
    // Presets in table order.
    std::size_t previous = 0;
    for (const ThemePreset& preset : ThemePreset::all()) {
        std::size_t position = at(card, "<option value=\"" + preset.id + "\"");
        EXPECT_GT(position, previous);
        previous = position;
    }
}

TEST_F(ProfilePagesTest, EditorReadsTheCurrentDataOrTheStoredDataOfOtherProfiles) {
    context.profileData.settings.selectedSearchEngineID = "bing";
    context.profileData.bookmarks.resize(2);
    context.profileData.history.resize(3);
    addProfile("work", "Work");
    ProfileData work = ProfileData::empty();
    work.settings.selectedSearchEngineID = "duckduckgo";
    work.theme.background.imagePath = "https://img.example/bg.png";
    work.history.resize(7);
    stored["work"] = work;

    std::string html = profilesPage(context);
    std::string current = profileCard(html, "default");
    EXPECT_TRUE(contains(current, "<p class=\"desc\">Bookmarks: 2 · History: 3</p>"));
    EXPECT_TRUE(contains(current, "<option value=\"bing\" selected>Bing</option>"));
    EXPECT_TRUE(contains(current, "class=\"profile-bg\" value=\"\" placeholder=\"https://…\""));

    std::string other = profileCard(html, "work");
    EXPECT_TRUE(contains(other, "<p class=\"desc\">Bookmarks: 0 · History: 7</p>"));
    EXPECT_TRUE(contains(other, "<option value=\"duckduckgo\" selected>DuckDuckGo</option>"));
    EXPECT_TRUE(contains(other, "class=\"profile-bg\" value=\"https://img.example/bg.png\""));

    // A custom engine selects no built-in one but an entry of its own, last.
    context.profileData.settings.selectedSearchEngineID = "custom";
    current = profileCard(profilesPage(context), "default");
    std::size_t engines = at(current, "class=\"profile-engine\">");
    std::string engineMenu = current.substr(engines, current.find("</select>", engines) - engines);
    EXPECT_EQ(engineMenu.find("selected"), engineMenu.rfind("selected"));
    EXPECT_TRUE(engineMenu.ends_with("<option value=\"custom\" selected>Custom</option>"));
}

TEST_F(ProfilePagesTest, EditorFieldsAndResetButtonInOrder) {
    std::string card = profileCard(profilesPage(context), "default");
    std::size_t name = at(card, "<label class=\"field-label\">Profile name</label><input type=\"text\" class=\"profile-name\" value=\"Default\">");
    std::size_t icon = at(card, "<label class=\"field-label\">Icon URL</label><input type=\"url\" class=\"profile-avatar\" value=\"\" placeholder=\"https://…\">");
    std::size_t reset = at(card, "<div class=\"btn-row\" style=\"margin-top:4px\"><button class=\"btn btn-secondary\" "
                                 "onclick=\"vxAction({action:'updateProfile', profileId:'default', resetAvatar:true})\">"
                                 "Reset icon to initials</button></div>");
    std::size_t theme = at(card, "Theme preset</label><select class=\"profile-theme\">");
    std::size_t engine = at(card, "Search engine</label><select class=\"profile-engine\">");
    std::size_t background = at(card, "Background image URL</label><input type=\"url\" class=\"profile-bg\"");
    EXPECT_LT(name, icon);
    EXPECT_LT(icon, reset);
    EXPECT_LT(reset, theme);
    EXPECT_LT(theme, engine);
    EXPECT_LT(engine, background);
}

TEST_F(ProfilePagesTest, AvatarIsInitialsWithoutAddressAndImageWithOne) {
    context.appSettings.profiles[0].name = "éclair";
    std::string card = profileCard(profilesPage(context), "default");
    EXPECT_TRUE(contains(card, "justify-content:center;font-weight:600\">É</div>"));

    context.appSettings.profiles[0].avatarURL = "";
    card = profileCard(profilesPage(context), "default");
    EXPECT_TRUE(contains(card, "<img src=\"\" alt=\"\" style=\"width:48px;height:48px;border-radius:50%;object-fit:cover\">"));

    // Any name of the logo is drawn from the browser's own logo address, never as a file.
    context.appSettings.profiles[0].avatarURL = "/opt/QuorelleLogo.png";
    card = profileCard(profilesPage(context), "default");
    EXPECT_TRUE(contains(card, "<img src=\"" + InternalHTMLStyles::escapeHTML(InternalHTMLStyles::internalFaviconHref())));
    EXPECT_FALSE(contains(card, "src=\"file:"));
}

TEST_F(ProfilePagesTest, SessionsAndPerformanceListTabsInStripOrder) {
    std::string empty = sessionsPage(context);
    EXPECT_TRUE(contains(empty, "<p><strong>0</strong> tabs · Profile: Default · Standard</p><ul class=\"clean\"></ul>"));
    EXPECT_TRUE(contains(empty, "<button class=\"btn btn-danger\" onclick=\"vxAction({action:'closeInactiveTabs'})\">"
                                "Close inactive tabs</button>"));

    context.tabs = {makeTab("One"), makeTab("Two & <Three>")};
    context.currentProfile = BrowserProfile::guestProfile();
    EXPECT_TRUE(contains(sessionsPage(context), "<p><strong>2</strong> tabs · Profile: Guest · Guest</p>"
                                                "<ul class=\"clean\"><li>One</li><li>Two &amp; &lt;Three&gt;</li></ul>"));
    std::string performance = performancePage(context);
    EXPECT_TRUE(contains(performance, "<p><strong>2</strong> open tabs</p><ul class=\"clean\"><li>One</li>"));
    EXPECT_TRUE(contains(performance, "<button class=\"btn btn-primary\" onclick=\"vxAction({action:'closeInactiveTabs'})\">"));
}

TEST_F(ProfilePagesTest, MemoryCountsNeitherTheActiveNorALoadingTabAsInactive) {
    auto active = makeTab("Active");
    context.tabs = {active, makeTab("Loading", true), makeTab("Idle"), makeTab("Idle too")};
    context.activeTab = active;
    std::string html = memoryPage(context);
    EXPECT_TRUE(contains(html, "<div class=\"warn\">Per-tab memory is not available via public WebKit APIs. Counts are "
                               "shown instead of simulated usage numbers.</div>"));
    EXPECT_TRUE(contains(html, "<p><strong>4</strong> tabs · <strong>2</strong> inactive</p>"));

    context.activeTab = nullptr;
    EXPECT_TRUE(contains(memoryPage(context), "<strong>4</strong> tabs · <strong>3</strong> inactive"));
}

TEST_F(ProfilePagesTest, PermissionsShowFiveFixedCardsWithTheLinuxTexts) {
    std::string html = permissionsPage(context);
    EXPECT_TRUE(contains(html, "<div class=\"warn\">Per-site permission overrides are not available in this version.</div>"));
    EXPECT_FALSE(contains(html, "Apple"));
    std::size_t previous = 0;
    for (std::string_view category : {"Camera", "Microphone", "Location", "Notifications", "Pop-ups"}) {
        std::size_t position = at(html, "<div class=\"card\"><h2>" + std::string(category) +
                                            "</h2><p>Decided by the browser's built-in rules; no per-site setting in "
                                            "this version.</p></div>");
        EXPECT_GT(position, previous);
        previous = position;
    }
    EXPECT_FALSE(contains(html, "<button"));
}

TEST_F(ProfilePagesTest, PrivacyConfirmsBeforeClearing) {
    std::string html = privacyPage(context);
    EXPECT_TRUE(contains(html, "<div class=\"card\"><h2>Status</h2><p>Standard browsing</p></div>"));
    std::size_t history = at(html, "onclick=\"if(confirm('Clear history?')) vxAction({action:'clearHistory'})\">Clear history</button>");
    std::size_t data = at(html, "onclick=\"if(confirm('Clear cookies and cache?')) vxAction({action:'clearWebsiteData'})\">"
                                "Clear cookies &amp; cache</button>");
    EXPECT_LT(history, data);
    context.currentProfile = BrowserProfile::guestProfile();
    EXPECT_TRUE(contains(privacyPage(context), "<p>Guest mode — limited persistence</p>"));
}

TEST_F(ProfilePagesTest, SecurityReportsHttpsOnlyForASecureWebTab) {
    EXPECT_TRUE(contains(securityPage(context), "<h2>Current tab</h2><p>Not secure, internal, or HTTP.</p>"));
    auto tab = makeTab("Site");
    tab->isSecure.set(true);
    tab->isInternal.set(false);
    context.activeTab = tab;
    std::string html = securityPage(context);
    EXPECT_TRUE(contains(html, "<h2>Current tab</h2><p>This page uses HTTPS.</p>"));
    EXPECT_TRUE(contains(html, "<h2>HTTPS</h2><p>HTTP pages show “Not Secure” in the toolbar. Certificate details depend on "
                               "platform support.</p>"));
    // Rendered in the active tab, the page reports itself: an internal page.
    tab->isInternal.set(true);
    EXPECT_TRUE(contains(securityPage(context), "<p>Not secure, internal, or HTTP.</p>"));
}


// ---- Hostile data ----

const std::set<std::string> kTags = {"div", "/div", "h1", "/h1", "h2", "/h2", "p", "/p", "span", "/span", "strong",
                                     "/strong", "ul", "/ul", "li", "/li", "img", "label", "/label", "input", "select",
                                     "/select", "option", "/option", "button", "/button", "script"};
const std::set<std::string> kAttributes = {"class", "style", "data-profile", "src", "alt", "type", "value",
                                           "placeholder", "selected", "onclick"};

TEST_F(ProfilePagesTest, HostileProfilesNeverLeaveTheirContext) {
    context.appSettings.profiles.clear();
    context.tabs.clear();
    for (const std::string& text : testing::hostile::payloads()) {
        BrowserProfile profile{text, text, false, false, Date::now(), text, text};
        context.appSettings.profiles.push_back(profile);
        ProfileData data = ProfileData::empty();
        data.theme.background.imagePath = text;
        data.settings.selectedSearchEngineID = text;
        stored[text] = data;
        context.tabs.push_back(makeTab(text));
    }
    context.currentProfile.name = testing::hostile::payloads().front();

    const std::string html = profilesPage(context);
    const pagescan::ScannedPage page = pagescan::scanPage(html);
    pagescan::expectOnlyPageStructure(page, kTags, kAttributes,
                            {"var n=prompt(''); if(n) vxAction({action:'', name:n})",
                             "vxAction({action:'', profileId:''})", "vxSaveProfile('')",
                             "vxAction({action:'', profileId:'', resetAvatar:true})",
                             "if(confirm('')) vxAction({action:'', profileId:''})"});
    EXPECT_EQ(page.scriptElements, 1u);
    EXPECT_EQ(pagescan::occurrences(html, "</script>"), 2u);  // the page's own and the bridge's
    for (const std::string& text : testing::hostile::payloads()) {
        // Heading, name field, icon field, image (not for a script address),
        // background field, data attribute and the four handlers.
        EXPECT_GE(pagescan::countArrivals(page, text), 9u) << text;
        EXPECT_TRUE(contains(html, "data-profile=\"" + InternalHTMLStyles::escapeHTML(text) + "\""));
    }

    for (auto render : {sessionsPage, performancePage}) {
        const pagescan::ScannedPage tabs = pagescan::scanPage(render(context));
        pagescan::expectOnlyPageStructure(tabs, kTags, kAttributes, {"vxAction({action:''})"});
        for (const std::string& text : testing::hostile::payloads()) EXPECT_GE(pagescan::countArrivals(tabs, text), 1u);
    }
}


TEST_F(ProfilePagesTest, HostileContextChangesNoMarkupOnAnyPage) {
    struct Case {
        InternalPageRoute route;
        std::string (*render)(const InternalPageContext&);
    };
    const Case cases[] = {{InternalPageRoute::profiles, profilesPage},       {InternalPageRoute::sessions, sessionsPage},
                          {InternalPageRoute::permissions, permissionsPage}, {InternalPageRoute::privacy, privacyPage},
                          {InternalPageRoute::security, securityPage},       {InternalPageRoute::performance, performancePage},
                          {InternalPageRoute::memory, memoryPage}};
    for (const Case& c : cases) {
        const std::string hostile = c.render(testing::hostile::hostileContext(c.route));
        const std::string plain = c.render(testing::hostile::plainContext(c.route));
        EXPECT_EQ(testing::hostile::problems(hostile, plain), std::vector<std::string>{}) << c.route.rawValue();
    }
}

TEST_F(ProfilePagesTest, ScriptAddressIsNeverWrittenAsTheAvatarImage) {
    for (std::string_view address : {"javascript:alert(1)", " JavaScript:alert(1)", "java\tscript:alert(1)",
                                      "vbscript:msgbox(1)"}) {
        context.appSettings.profiles[0].avatarURL = std::string(address);
        std::string card = profileCard(profilesPage(context), "default");
        EXPECT_TRUE(contains(card, "<img src=\"\" alt=\"\"")) << address;
        // The stored address still shows in the icon field, where it can be corrected.
        EXPECT_TRUE(contains(card, "class=\"profile-avatar\" value=\"" + InternalHTMLStyles::escapeHTML(address)));
    }
    context.appSettings.profiles[0].avatarURL = "https://img.example/javascript:1.png";
    EXPECT_TRUE(contains(profilesPage(context), "<img src=\"https://img.example/javascript:1.png\""));
}

}  // namespace
}  // namespace quorelle
