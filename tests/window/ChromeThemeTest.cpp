#include "window/ChromeColor.h"
#include "window/ChromeStyle.h"
#include "window/ThemeEnvironment.h"

#include "window/WindowTestSupport.h"

#include <gtkmm/settings.h>

#include <regex>
#include <sstream>

namespace quorelle::testing {
namespace {

TEST(ChromeColorTest, ReadsEachFieldWithOrWithoutTheHash) {
    ThemeSettings theme = ThemeSettings::chromeDefault(true);
    theme.colors.browserFrame = "#202124";
    theme.colors.accent = "202124";
    const Color expected{0x20 / 255.0, 0x21 / 255.0, 0x24 / 255.0, 1};
    EXPECT_EQ(ChromeColor::frame(theme), expected);
    EXPECT_EQ(ChromeColor::accent(theme), expected);
    theme.colors.border = "#fff";
    EXPECT_EQ(ChromeColor::border(theme), (Color{0, 0, 0, 1}));
    EXPECT_EQ(ChromeColor::css(expected), "rgb(32,33,36)");
    EXPECT_EQ(ChromeColor::css(ChromeColor::warningOrange()), "rgb(255,149,0)");
    EXPECT_EQ(ChromeColor::css(expected, 0.75), "rgba(32,33,36,0.75)");
}

// Every selector of a sheet, one per entry.
std::vector<std::string> selectors(const std::string& css) {
    std::vector<std::string> out;
    static const std::regex rule(R"(([^{}]+)\{[^{}]*\})");
    for (auto it = std::sregex_iterator(css.begin(), css.end(), rule); it != std::sregex_iterator(); ++it) {
        std::stringstream list((*it)[1].str());
        for (std::string one; std::getline(list, one, ',');) {
            one.erase(0, one.find_first_not_of(" \n"));
            one.erase(one.find_last_not_of(" \n") + 1);
            out.push_back(one);
        }
    }
    return out;
}

TEST(ThemeStyleSheetTest, EverySelectorIsScopedByTheWindowClass) {
    const auto css = ThemeEnvironment::styleSheet(ThemeSettings::chromeDefault(false), "vx-guest");
    const auto all = selectors(css);
    ASSERT_GT(all.size(), 10u);
    for (const auto& selector : all)
        EXPECT_TRUE(selector.rfind(".vx-guest ", 0) == 0 || selector == "window.vx-guest") << selector;
}

TEST(ThemeStyleSheetTest, HostileColourTextNeverReachesTheSheet) {
    ThemeSettings theme = ThemeSettings::chromeDefault(true);
    const std::string hostile = "#fff; } * { background-image: url(\"http://evil.example/x\"); } .a {";
    for (const auto name : ThemeColors::fieldNames()) *theme.colors.field(name) = hostile;
    const auto css = ThemeEnvironment::styleSheet(theme, "vx-main");
    EXPECT_EQ(css.find("evil"), std::string::npos);
    EXPECT_EQ(css.find("url("), std::string::npos);
    EXPECT_EQ(css.find("#fff"), std::string::npos);
    EXPECT_NE(css.find("rgb(0,0,0)"), std::string::npos);  // unreadable colours are black

    auto provider = Gtk::CssProvider::create();
    int errors = 0;
    provider->signal_parsing_error().connect([&](const auto&, const Glib::Error&) { ++errors; });
    provider->load_from_data(css);
    EXPECT_EQ(errors, 0);
}

TEST(ThemeStyleSheetTest, TheDefaultSheetsParseCleanly) {
    for (bool dark : {true, false}) {
        auto provider = Gtk::CssProvider::create();
        std::vector<std::string> errors;
        provider->signal_parsing_error().connect(
            [&](const auto&, const Glib::Error& e) { errors.push_back(e.what()); });
        provider->load_from_data(ThemeEnvironment::styleSheet(ThemeSettings::chromeDefault(dark), "vx-main"));
        EXPECT_TRUE(errors.empty()) << errors.front();
    }
}

TEST(ThemeStyleSheetTest, MenuBarTitlesTakeTheThemesTextColourOverTheFrame) {
    ThemeSettings theme = ThemeSettings::chromeDefault(true);
    theme.colors.primaryText = "#e8eaed";
    const auto css = ThemeEnvironment::styleSheet(theme, "vx-guest");
    const auto at = css.find(".vx-guest menubar > item {");
    ASSERT_NE(at, std::string::npos) << css;
    const auto rule = css.substr(at, css.find('}', at) - at);
    EXPECT_NE(rule.find("color: rgb(232,234,237)"), std::string::npos) << rule;
}

TEST(ThemeStyleSheetTest, ToolbarMenusWearTheWindowsThemeNotTheApplicationsScheme) {
    ThemeSettings theme = ThemeSettings::chromeDefault(true);
    theme.colors.toolbar = "#101010";
    theme.colors.primaryText = "#f0f0f0";
    const auto css = ThemeEnvironment::styleSheet(theme, "vx-guest");
    const auto at = css.find(".vx-guest popover.vx-themed-popover > contents");
    ASSERT_NE(at, std::string::npos) << css;
    const auto rule = css.substr(at, css.find('}', at) - at);
    EXPECT_NE(rule.find("background-color: rgb(16,16,16)"), std::string::npos) << rule;
    EXPECT_NE(rule.find("color: rgb(240,240,240)"), std::string::npos) << rule;
}

class ThemeEnvironmentTest : public WindowTest {
protected:
    void TearDown() override { environment.reset(); }
    std::unique_ptr<ThemeEnvironment> environment;
    Gtk::Window window;
};

TEST_F(ThemeEnvironmentTest, TagsTheWindowAndFollowsThemeChanges) {
    auto state = makeState();
    drain();
    environment = std::make_unique<ThemeEnvironment>(state, window);
    int applied = 0;
    environment->signalThemeApplied().connect([&] { ++applied; });
    EXPECT_TRUE(window.has_css_class(ChromeStyle::mainWindow));
    EXPECT_EQ(environment->appliedTheme(), state->theme());
    EXPECT_NE(environment->styleSheet().find("window.vx-main"), std::string::npos);

    ThemeSettings theme = state->theme();
    theme.colors.toolbar = "#123456";
    theme.useDarkMode = false;
    state->applyTheme(theme);
    EXPECT_EQ(applied, 0);  // picked up on the main queue, never inside the announcement
    drain();
    EXPECT_EQ(applied, 1);
    EXPECT_NE(environment->styleSheet().find("rgb(18,52,86)"), std::string::npos);
    EXPECT_FALSE(Gtk::Settings::get_default()->property_gtk_application_prefer_dark_theme().get_value());

    // Changes that leave the theme alone do not rebuild the sheet.
    state->setSidebar(SidebarKind::bookmarks);
    drain();
    EXPECT_EQ(applied, 1);

    theme.useDarkMode = true;
    state->applyTheme(theme);
    drain();
    EXPECT_TRUE(Gtk::Settings::get_default()->property_gtk_application_prefer_dark_theme().get_value());
}

TEST_F(ThemeEnvironmentTest, GuestWindowKeepsItsOwnScopeAndLeavesTheDarkPreference) {
    Gtk::Settings::get_default()->property_gtk_application_prefer_dark_theme() = true;
    auto guest = makeState(true);
    drain();
    ThemeSettings light = ThemeSettings::chromeDefault(false);
    guest->profileData.modify([&](ProfileData& d) { d.theme = light; });
    environment = std::make_unique<ThemeEnvironment>(guest, window);
    EXPECT_TRUE(window.has_css_class(ChromeStyle::guestWindow));
    EXPECT_FALSE(window.has_css_class(ChromeStyle::mainWindow));
    EXPECT_EQ(environment->styleSheet().find(".vx-main"), std::string::npos);
    EXPECT_TRUE(Gtk::Settings::get_default()->property_gtk_application_prefer_dark_theme().get_value());
}

}  // namespace
}  // namespace quorelle::testing
