#include "model/ThemePreset.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "support/HostileCorpus.h"
#include "unit/InternalPageScan.h"
#include "unit/PageTestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace quorelle {
namespace {

using testing::pagetest::at;
using testing::pagetest::contains;

using namespace pages;

class ToolPagesTest : public ::testing::Test {
protected:
    std::string colorInput(std::string_view key, std::string_view value) const {
        return "<input type=\"color\" value=\"" + std::string(value) +
               "\"\n  onchange=\"vxAction({action:'saveThemeColor', key:'" + std::string(key) +
               "', value:this.value}); vxReload();\">";
    }

    InternalPageContext context = testing::pagetest::plainPageContext();
};

TEST_F(ToolPagesTest, EveryPageHasItsDocumentTitleAndHeader) {
    struct Case {
        std::string (*render)(const InternalPageContext&);
        std::string_view title, header, description;
    };
    const Case cases[] = {
        {themesPage, "Themes", "Appearance", "Themes and colors — changes apply instantly"},
        {shortcutsPage, "Shortcuts", "Shortcuts", "New Tab page tiles"},
        {updatesPage, "Updates", "Updates", "Quorelle 1.0 (1)"},
        {feedbackPage, "Feedback", "Feedback", "Copied locally — nothing is sent to a server"},
        {tabGroupsPage, "Tab Groups", "Tab groups", "Organize tabs"},
        {passwordsPage, "Passwords", "Passwords", "Saved logins"},
        {flagsPage, "Flags", "Flags", "Experimental features"},
        {experimentsPage, "Developer Mode", "Developer Mode", "Advanced tools"},
    };
    for (const Case& c : cases) {
        std::string html = c.render(context);
        EXPECT_TRUE(contains(html, "<title>" + std::string(c.title) + "</title>")) << c.title;
        EXPECT_TRUE(contains(html, InternalHTMLStyles::pageHeader(c.header, c.description))) << c.title;
    }
    std::string about = aboutPage(context);
    EXPECT_TRUE(contains(about, "<title>About</title>"));
    EXPECT_FALSE(contains(about, "<div class=\"page-header\">"));
}

TEST_F(ToolPagesTest, ThemesPageOffersEveryPresetThenTheColorsThenThePreview) {
    std::string html = themesPage(context);
    std::size_t previous = at(html, "<h2>Presets</h2><div class=\"grid-2\">");
    for (const ThemePreset& preset : ThemePreset::all()) {
        std::size_t position =
            at(html, "<button type=\"button\" class=\"btn btn-secondary preset-btn\" onclick=\"vxAction({action:'applyPreset', presetId:'" +
                         preset.id + "'})\">" + InternalHTMLStyles::escapeHTML(preset.name) + "</button>");
        EXPECT_GT(position, previous);
        previous = position;
    }
    std::size_t dark = at(html, "onclick=\"vxAction({action:'applyPreset', presetId:'black'})\">Chrome dark default</button>");
    std::size_t colors = at(html, "<h2>Colors</h2><p class=\"desc\">Edit colors below. The Quorelle wordmark on New Tab uses "
                                  "the accent color.</p>");
    std::size_t preview = at(html, "<div class=\"card preview-card\"><h2>Preview</h2><div class=\"wordmark\" "
                                   "style=\"font-family:'Source Code Pro','SF Mono',Menlo,Monaco,Consolas,monospace;"
                                   "font-weight:700;font-size:32px;color:var(--vx-wordmark);text-align:center;"
                                   "padding:16px\">Quorelle</div></div>");
    EXPECT_LT(previous, dark);
    EXPECT_LT(dark, colors);
    EXPECT_LT(colors, preview);
}

TEST_F(ToolPagesTest, ColorInputsFollowTheFixedTableAndPostThenReload) {
    ThemeColors& colors = context.profileData.theme.colors;
    colors.primaryText = "#101112";
    colors.accent = "#A0B1C2";
    std::string html = themesPage(context);
    struct Row {
        std::string_view key, label;
        std::string value;
    };
    const Row rows[] = {{"primaryText", "Primary text", "#101112"},
                        {"accent", "Accent / wordmark", "#A0B1C2"},
                        {"mutedText", "Muted text", colors.mutedText},
                        {"button", "Button", colors.button},
                        {"newTabBackground", "New tab background", colors.newTabBackground}};
    std::size_t previous = 0;
    for (const Row& row : rows) {
        std::size_t position = at(html, "<label class=\"field-label\">" + std::string(row.label) + "</label>\n" +
                                            colorInput(row.key, row.value));
        EXPECT_GT(position, previous);
        previous = position;
    }
}

TEST_F(ToolPagesTest, DamagedStoredColorShowsTheDefaultForTheCurrentMode) {
    for (bool dark : {true, false}) {
        context.profileData.theme.useDarkMode = dark;
        context.profileData.theme.colors.accent = "#abc";
        context.profileData.theme.colors.button = "#zzzzzz";
        std::string html = themesPage(context);
        const ThemeColors& defaults = ThemeColors::chromeDefault(dark);
        EXPECT_TRUE(contains(html, colorInput("accent", defaults.accent)));
        EXPECT_TRUE(contains(html, colorInput("button", defaults.button)));
        EXPECT_FALSE(contains(html, "#abc\""));
        EXPECT_FALSE(contains(html, "#zzzzzz"));
    }
}

TEST_F(ToolPagesTest, ShortcutsAreListedBySortOrderKeepingTiesInStoredOrder) {
    context.profileData.shortcuts = {
        ShortcutItem{Uuid::random(), "Late", "https://late.example", 5, std::nullopt},
        ShortcutItem{Uuid::random(), "Tie A", "https://a.example", 1, std::nullopt},
        ShortcutItem{Uuid::random(), "Early", "https://early.example", -2, std::nullopt},
        ShortcutItem{Uuid::random(), "Tie B", "https://b.example/?x=1&y=2", 1, std::nullopt},
    };
    std::string html = shortcutsPage(context);
    std::size_t early = at(html, "<div class=\"list-item\"><div class=\"meta\"><strong>Early</strong><small>https://early.example</small></div></div>");
    std::size_t a = at(html, "<strong>Tie A</strong>");
    std::size_t b = at(html, "<strong>Tie B</strong><small>https://b.example/?x=1&amp;y=2</small>");
    std::size_t late = at(html, "<strong>Late</strong>");
    EXPECT_LT(early, a);
    EXPECT_LT(a, b);
    EXPECT_LT(b, late);
    EXPECT_TRUE(contains(html, "onclick=\"vxNavigate('vx://newtab')\">Preview New Tab</button>"));

    context.profileData.shortcuts.clear();
    EXPECT_TRUE(contains(shortcutsPage(context), "<div class=\"card\"></div><div class=\"btn-row\">"));
}

TEST_F(ToolPagesTest, UpdatesAndAboutShowVersionBuildAndLinuxPlatform) {
    std::string updates = updatesPage(context);
    EXPECT_TRUE(contains(updates, "<h2>Platform</h2><p>Linux</p><p class=\"desc\">Updates are delivered through your "
                                  "installation method (package manager or source build).</p>"));
    EXPECT_FALSE(contains(updates, "App Store"));

    std::string about = aboutPage(context);
    EXPECT_TRUE(contains(about, "<div class=\"page\" style=\"max-width:480px;text-align:center\"><div class=\"card\">"
                                "<h1 style=\"font-size:26px;font-weight:500;margin:0 0 12px\">Quorelle</h1>"
                                "<p>Version 1.0 (1)</p><p>Platform: Linux</p><p>Engine: WebKit</p>"
                                "<p class=\"desc\">Data is stored locally on this device.</p></div></div>"));

    context.version = "2.4<b>";
    context.build = "77&";
    EXPECT_TRUE(contains(aboutPage(context), "<p>Version 2.4&lt;b&gt; (77&amp;)</p>"));
    EXPECT_TRUE(contains(updatesPage(context), "<p class=\"desc\">Quorelle 2.4&lt;b&gt; (77&amp;)</p>"));
}

TEST_F(ToolPagesTest, FeedbackFormCopiesTypeTextAndContactJoinedByLineFeeds) {
    std::string html = feedbackPage(context);
    std::size_t type = at(html, "<select id=\"ftype\"><option>Bug report</option><option>Feature request</option>"
                                "<option>General feedback</option></select>");
    std::size_t text = at(html, "<textarea id=\"ftext\" rows=\"6\" placeholder=\"Your feedback\"></textarea>");
    std::size_t contact = at(html, "<input type=\"text\" id=\"fcontact\" placeholder=\"Contact (optional)\">");
    std::size_t copy = at(html, "<button class=\"btn btn-primary\" onclick=\"vxCopyFeedback()\">Copy feedback</button>");
    EXPECT_LT(type, text);
    EXPECT_LT(text, contact);
    EXPECT_LT(contact, copy);
    // With empty text and contact the message is the type and two line feeds.
    EXPECT_TRUE(contains(html, "vxAction({ action: 'exportFeedback', text: type + '\\n' + text + '\\n' + contact });"));
}

TEST_F(ToolPagesTest, TabGroupsShowColorAndCountOrTheEmptyText) {
    EXPECT_TRUE(contains(tabGroupsPage(context), "<div class=\"empty\">No tab groups. Create groups from the tab strip menu.</div></div>"));
    TabGroup group;
    group.name = "Research";
    group.color = TabGroupColor::blue;
    group.tabIDs = {Uuid::random(), Uuid::random(), Uuid::random()};
    TabGroup second;
    second.name = "Errands";
    second.color = TabGroupColor::purple;
    context.profileData.tabGroups = {group, second};
    std::string html = tabGroupsPage(context);
    EXPECT_TRUE(contains(html, "<div class=\"page\"><div class=\"page-header\">"));
    EXPECT_TRUE(contains(html, "</div><div class=\"card\"><h2>Research</h2><p>Blue · 3 tabs</p></div>"
                               "<div class=\"card\"><h2>Errands</h2><p>Purple · 0 tabs</p></div></div>"));
    EXPECT_FALSE(contains(html, "No tab groups"));
}

TEST_F(ToolPagesTest, PasswordsPagePointsToSettingsAndListsNoLogins) {
    std::string html = passwordsPage(context);
    EXPECT_TRUE(contains(html, "<div class=\"warn\">Open the password manager from the toolbar or use system "
                               "authentication when exporting.</div><div class=\"btn-row\"><button class=\"btn "
                               "btn-primary\" onclick=\"vxNavigate('vx://settings')\">Password settings</button></div>"));
}

TEST_F(ToolPagesTest, FlagsAreUncheckedUnlessStoredOn) {
    context.profileData.settings.flags = {{"smooth-scrolling", true}};
    std::string html = flagsPage(context);
    std::size_t warn = at(html, "<div class=\"page\"><div class=\"warn\">Experimental flags may change without notice.</div>");
    std::size_t header = at(html, "<div class=\"page-header\">");
    std::size_t smooth = at(html, "<div class=\"list-item\"><div class=\"meta\"><strong>Smooth scrolling</strong></div>"
                                  "<input type=\"checkbox\" checked onchange=\"vxAction({action:'toggleFlag', "
                                  "key:'smooth-scrolling', value:this.checked})\"></div>");
    std::size_t hover = at(html, "<strong>Tab hover cards</strong></div><input type=\"checkbox\"  onchange=\"vxAction("
                                 "{action:'toggleFlag', key:'tab-hover-cards', value:this.checked})\"></div>");
    EXPECT_LT(warn, header);
    EXPECT_LT(header, smooth);
    EXPECT_LT(smooth, hover);

    context.profileData.settings.flags = {{"tab-hover-cards", false}};
    EXPECT_FALSE(contains(flagsPage(context), "checked onchange"));
}

TEST_F(ToolPagesTest, DeveloperModeCheckboxFollowsTheSetting) {
    std::string off = experimentsPage(context);
    std::size_t warn = at(off, "<div class=\"warn\">Developer Mode enables advanced diagnostics. Off by default.</div>");
    std::size_t header = at(off, "<div class=\"page-header\">");
    EXPECT_LT(warn, header);
    EXPECT_TRUE(contains(off, "<label style=\"display:flex;align-items:center;gap:8px;font-size:14px;\"><input "
                              "type=\"checkbox\"  onchange=\"vxAction({action:'setDeveloperMode', value:this.checked})\">"
                              " Enable Developer Mode</label>"));
    context.profileData.settings.developerMode = true;
    EXPECT_TRUE(contains(experimentsPage(context), "<input type=\"checkbox\" checked onchange=\"vxAction({action:'setDeveloperMode'"));
}


// ---- Hostile data ----

TEST_F(ToolPagesTest, HostileContextChangesNoMarkupOnAnyPage) {
    struct Case {
        InternalPageRoute route;
        std::string (*render)(const InternalPageContext&);
    };
    const Case cases[] = {{InternalPageRoute::themes, themesPage},     {InternalPageRoute::shortcuts, shortcutsPage},
                          {InternalPageRoute::updates, updatesPage},   {InternalPageRoute::feedback, feedbackPage},
                          {InternalPageRoute::tabGroups, tabGroupsPage}, {InternalPageRoute::passwords, passwordsPage},
                          {InternalPageRoute::about, aboutPage},       {InternalPageRoute::flags, flagsPage},
                          {InternalPageRoute::experiments, experimentsPage}};
    for (const Case& c : cases) {
        const std::string hostile = c.render(testing::hostile::hostileContext(c.route));
        const std::string plain = c.render(testing::hostile::plainContext(c.route));
        EXPECT_EQ(testing::hostile::problems(hostile, plain), std::vector<std::string>{}) << c.route.rawValue();
    }
}

TEST_F(ToolPagesTest, HostileThemeColorsNeverReachThePage) {
    const InternalPageContext hostile = testing::hostile::hostileContext(InternalPageRoute::themes);
    const std::string html = themesPage(hostile);
    EXPECT_EQ(html.find(testing::hostile::marker), std::string::npos);
    const std::regex colorInput("<input type=\"color\" value=\"([^\"]*)\"");
    std::size_t inputs = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), colorInput); it != std::sregex_iterator(); ++it) {
        EXPECT_TRUE(isValidHexColor((*it)[1].str())) << (*it)[1].str();
        ++inputs;
    }
    EXPECT_EQ(inputs, 5u);
}

TEST_F(ToolPagesTest, HostileTextsArriveWholeWhereTheyAreShown) {
    for (const std::string& text : testing::hostile::payloads()) {
        context.profileData.shortcuts = {ShortcutItem{Uuid::random(), text, text, 0, std::nullopt}};
        TabGroup group;
        group.name = text;
        context.profileData.tabGroups = {group};
        context.version = text;
        EXPECT_EQ(testing::pagescan::countArrivals(testing::pagescan::scanPage(shortcutsPage(context)), text), 2u) << text;
        EXPECT_EQ(testing::pagescan::countArrivals(testing::pagescan::scanPage(tabGroupsPage(context)), text), 1u) << text;
        const testing::pagescan::ScannedPage about = testing::pagescan::scanPage(aboutPage(context));
        ASSERT_EQ(about.error, "");
        bool shown = false;
        for (const std::string& line : about.texts) shown |= line == "Version " + text + " (1)";
        EXPECT_TRUE(shown) << text;
    }
}

}  // namespace
}  // namespace quorelle
