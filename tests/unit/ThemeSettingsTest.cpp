#include "model/JsonCodec.h"
#include "model/SavedCustomTheme.h"
#include "model/ThemeSettings.h"

#include <gtest/gtest.h>

#include <set>

using namespace quorelle;

namespace {

Json themeDocument(const ThemeSettings& theme) { return toJson(theme); }

std::optional<ThemeSettings> decodeTheme(const Json& document) { return json::decode<ThemeSettings>(document.dump()); }

TEST(ThemeColors, DefaultsMatchTheirTables) {
    const auto& light = ThemeColors::chromeDefaultLight();
    const auto& dark = ThemeColors::chromeDefaultDark();
    EXPECT_EQ(light.browserFrame, "#f1f3f4");
    EXPECT_EQ(light.accent, "#1a73e8");
    EXPECT_EQ(light.newTabBackground, "#f8fafd");
    EXPECT_EQ(dark.browserFrame, "#202124");
    EXPECT_EQ(dark.primaryText, "#e8eaed");
    EXPECT_EQ(dark.buttonText, "#202124");
    EXPECT_EQ(&ThemeColors::chromeDefaultLight(), &light);  // built once
    for (auto name : ThemeColors::fieldNames()) {
        EXPECT_TRUE(isValidHexColor(*light.field(name))) << name;
        EXPECT_TRUE(isValidHexColor(*dark.field(name))) << name;
    }
}

TEST(ThemeColors, FieldsByExactName) {
    const auto& names = ThemeColors::fieldNames();
    EXPECT_EQ(names.front(), "browserFrame");
    EXPECT_EQ(names.back(), "internalPageBackground");
    EXPECT_EQ(std::set<std::string_view>(names.begin(), names.end()).size(), ThemeColors::fieldCount);

    ThemeColors colors = ThemeColors::chromeDefaultLight();
    *colors.field("omniboxFocused") = "#123456";
    EXPECT_EQ(colors.omniboxFocused, "#123456");
    EXPECT_EQ(colors.field("OmniboxFocused"), nullptr);
    EXPECT_EQ(colors.field(""), nullptr);
    // Every name is a JSON key and every JSON key a name.
    const Json j = toJson(colors);
    EXPECT_EQ(j.size(), ThemeColors::fieldCount);
    for (auto name : names) EXPECT_EQ(j.at(std::string(name)), *colors.field(name));
}

TEST(ThemeColors, SanitizedReplacesInvalidFieldsFromTheModeDefault) {
    ThemeColors colors = ThemeColors::chromeDefaultLight();
    colors.accent = "red</style><script>";
    colors.border = "#abc";
    colors.toolbar = "#ABCDEF";
    const ThemeColors dark = colors.sanitized(true);
    EXPECT_EQ(dark.accent, ThemeColors::chromeDefaultDark().accent);
    EXPECT_EQ(dark.border, ThemeColors::chromeDefaultDark().border);
    EXPECT_EQ(dark.toolbar, "#ABCDEF");
    EXPECT_EQ(dark.browserFrame, colors.browserFrame);
    const ThemeColors light = colors.sanitized(false);
    EXPECT_EQ(light.accent, ThemeColors::chromeDefaultLight().accent);
    EXPECT_EQ(ThemeColors::chromeDefaultDark().sanitized(false), ThemeColors::chromeDefaultDark());
}

TEST(ThemeBackground, DefaultsAndSanitizing) {
    EXPECT_EQ(ThemeBackground::defaultLight().solidColor, "#f8fafd");
    EXPECT_EQ(ThemeBackground::defaultLight().gradientStart, "#e8f0fe");
    EXPECT_EQ(ThemeBackground::defaultDark().gradientStart, "#292a2d");
    EXPECT_EQ(ThemeBackground::defaultDark().kind, ThemeBackground::BackgroundKind::solid);

    ThemeBackground background{ThemeBackground::BackgroundKind::image, "x", "#010203", "", "/tmp/a b.png"};
    ThemeBackground fixed = background.sanitized(true);
    EXPECT_EQ(fixed.solidColor, "#202124");
    EXPECT_EQ(fixed.gradientStart, "#010203");
    EXPECT_EQ(fixed.gradientEnd, "#202124");
    EXPECT_EQ(fixed.kind, ThemeBackground::BackgroundKind::image);
    EXPECT_EQ(fixed.imagePath, "/tmp/a b.png");
}

TEST(ThemeSettings, ChromeDefaultIsDarkUnlessAskedForLight) {
    EXPECT_EQ(ThemeSettings::chromeDefault(), ThemeSettings::chromeDefault(true));
    const ThemeSettings dark = ThemeSettings::chromeDefault(true);
    EXPECT_EQ(dark.colors, ThemeColors::chromeDefaultDark());
    EXPECT_EQ(dark.background, ThemeBackground::defaultDark());
    EXPECT_TRUE(dark.useDarkMode);
    EXPECT_EQ(dark.customThemeName, std::nullopt);
    EXPECT_EQ(ThemeSettings::chromeDefault(false),
              (ThemeSettings{ThemeColors::chromeDefaultLight(), ThemeBackground::defaultLight(), false, std::nullopt}));
}

TEST(ThemeSettings, AbsentOptionalsAreNotWrittenAndRoundTrip) {
    const ThemeSettings theme = ThemeSettings::chromeDefault(false);
    const Json j = themeDocument(theme);
    EXPECT_FALSE(j.contains("customThemeName"));
    EXPECT_FALSE(j.at("background").contains("imagePath"));
    EXPECT_EQ(j.at("background").at("kind"), "solid");
    EXPECT_EQ(j.at("useDarkMode"), false);
    EXPECT_EQ(decodeTheme(j), theme);
}

TEST(ThemeSettings, PresentOptionalsRoundTripEvenWhenEmpty) {
    ThemeSettings theme = ThemeSettings::chromeDefault();
    theme.customThemeName = "";
    theme.background.kind = ThemeBackground::BackgroundKind::gradient;
    theme.background.imagePath = "";
    const Json j = themeDocument(theme);
    EXPECT_EQ(j.at("customThemeName"), "");
    EXPECT_EQ(j.at("background").at("imagePath"), "");
    EXPECT_EQ(j.at("background").at("kind"), "gradient");
    EXPECT_EQ(decodeTheme(j), theme);

    Json nulls = j;
    nulls["customThemeName"] = nullptr;
    nulls["background"]["imagePath"] = nullptr;
    nulls["somethingNew"] = 42;
    auto decoded = decodeTheme(nulls);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->customThemeName, std::nullopt);
    EXPECT_EQ(decoded->background.imagePath, std::nullopt);
}

TEST(ThemeSettings, AnyMissingOrMistypedKeyFailsTheWholeTheme) {
    const Json good = themeDocument(ThemeSettings::chromeDefault());
    for (auto name : ThemeColors::fieldNames()) {
        Json missing = good;
        missing["colors"].erase(std::string(name));
        EXPECT_EQ(decodeTheme(missing), std::nullopt) << name;
        Json mistyped = good;
        mistyped["colors"][std::string(name)] = 0x202124;
        EXPECT_EQ(decodeTheme(mistyped), std::nullopt) << name;
    }
    for (const char* key : {"kind", "solidColor", "gradientStart", "gradientEnd"}) {
        Json missing = good;
        missing["background"].erase(key);
        EXPECT_EQ(decodeTheme(missing), std::nullopt) << key;
    }
    for (const char* key : {"colors", "background", "useDarkMode"}) {
        Json missing = good;
        missing.erase(key);
        EXPECT_EQ(decodeTheme(missing), std::nullopt) << key;
    }
    Json cases[] = {good, good, good, good, good};
    cases[0]["background"]["kind"] = "Solid";
    cases[1]["background"]["kind"] = "video";
    cases[2]["useDarkMode"] = 1;
    cases[3]["customThemeName"] = 7;
    cases[4]["background"]["imagePath"] = false;
    for (const auto& document : cases) EXPECT_EQ(decodeTheme(document), std::nullopt) << document.dump();
    EXPECT_EQ(json::decode<ThemeSettings>("[]"), std::nullopt);
    EXPECT_EQ(json::decode<ThemeSettings>("{\"colors\": {}, "), std::nullopt);
}

SavedCustomTheme sampleSavedTheme() {
    ThemeBackground background = ThemeBackground::defaultLight();
    background.imagePath = "file:///home/u/bg.png";
    return SavedCustomTheme{*Uuid::parse("0f8fad5b-d9cb-469f-a165-70867728950e"), "Mine",
                            ThemeColors::chromeDefaultDark(), background};
}

TEST(SavedCustomTheme, RoundTripsWithUpperCaseId) {
    const SavedCustomTheme theme = sampleSavedTheme();
    const Json j = toJson(theme);
    EXPECT_EQ(j.at("id"), "0F8FAD5B-D9CB-469F-A165-70867728950E");
    EXPECT_EQ(j.at("colors").size(), ThemeColors::fieldCount);
    EXPECT_EQ(json::decode<SavedCustomTheme>(j.dump()), theme);
    const std::vector<SavedCustomTheme> none;
    EXPECT_EQ(toJson(none).dump(), "[]");
    EXPECT_EQ(json::decode<std::vector<SavedCustomTheme>>("[]"), none);
}

TEST(SavedCustomTheme, MissingKeyFailsTheWholeList) {
    const Json good = toJson(sampleSavedTheme());
    for (const char* key : {"id", "name", "colors", "background"}) {
        Json bad = good;
        bad.erase(key);
        Json list = Json::array({good, bad});
        EXPECT_EQ(json::decode<std::vector<SavedCustomTheme>>(list.dump()), std::nullopt) << key;
    }
    Json badId = good;
    badId["id"] = "not-a-uuid";
    EXPECT_EQ(json::decode<SavedCustomTheme>(badId.dump()), std::nullopt);
}

}  // namespace
