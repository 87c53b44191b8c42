#include "model/ThemePreset.h"

#include <gtest/gtest.h>

#include <set>

using quorelle::ThemeColors;
using quorelle::ThemePreset;

namespace {

TEST(ThemePreset, FifteenRowsInPickerOrder) {
    const auto& all = ThemePreset::all();
    std::vector<std::string> ids;
    for (const auto& preset : all) ids.push_back(preset.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"chrome", "red", "orange", "yellow", "green", "blue", "indigo", "violet",
                                             "black", "white", "bw", "ocean", "forest", "sunset", "midnight"}));
    EXPECT_EQ(all.front().name, "Chrome Default");
    EXPECT_EQ(&ThemePreset::all(), &all);  // built once
    std::set<std::string> names;
    for (const auto& preset : all) {
        names.insert(preset.name);
        for (auto field : ThemeColors::fieldNames())
            EXPECT_TRUE(quorelle::isValidHexColor(*preset.colors.field(field))) << preset.id << "." << field;
    }
    EXPECT_EQ(names.size(), 15u);
}

TEST(ThemePreset, LookupByExactId) {
    ASSERT_NE(ThemePreset::find("midnight"), nullptr);
    EXPECT_EQ(ThemePreset::find("midnight"), &ThemePreset::all().back());
    EXPECT_EQ(ThemePreset::find("bw")->name, "Black & White");
    EXPECT_EQ(ThemePreset::find("Black & White"), nullptr);
    EXPECT_EQ(ThemePreset::find("Midnight"), nullptr);
    EXPECT_EQ(ThemePreset::find(" chrome"), nullptr);
    EXPECT_EQ(ThemePreset::find(""), nullptr);
}

TEST(ThemePreset, DefaultRowsShareTheDefaultColours) {
    const auto& chrome = *ThemePreset::find("chrome");
    const auto& white = *ThemePreset::find("white");
    EXPECT_EQ(chrome.colors, white.colors);
    EXPECT_NE(chrome.id, white.id);
    EXPECT_NE(chrome.name, white.name);
    EXPECT_EQ(chrome.colors, ThemeColors::chromeDefaultLight());
    EXPECT_EQ(ThemePreset::find("black")->colors, ThemeColors::chromeDefaultDark());
}

TEST(ThemePreset, SampledRowsMatchTheirTable) {
    const ThemeColors& red = ThemePreset::find("red")->colors;
    EXPECT_EQ(red, (ThemeColors{"#fce8e6", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4", "#ffffff", "#202124", "#5f6368",
                                "#dadce0", "#d93025", "#d93025", "#ffffff", "#fce8e6", "#ffffff", "#fce8e6"}));
    const ThemeColors& sunset = ThemePreset::find("sunset")->colors;
    EXPECT_EQ(sunset.browserFrame, "#fff3e0");
    EXPECT_EQ(sunset.button, "#e65100");
    EXPECT_EQ(sunset.inactiveTab, "#e8eaed");
    const ThemeColors& bw = ThemePreset::find("bw")->colors;
    EXPECT_EQ(bw.inactiveTab, "#f5f5f5");
    EXPECT_EQ(bw.mutedText, "#666666");
    EXPECT_EQ(bw.border, "#cccccc");
    const ThemeColors& midnight = ThemePreset::find("midnight")->colors;
    EXPECT_EQ(midnight, (ThemeColors{"#0d1117", "#161b22", "#161b22", "#0d1117", "#0d1117", "#161b22", "#c9d1d9",
                                     "#8b949e", "#30363d", "#58a6ff", "#58a6ff", "#0d1117", "#0d1117", "#161b22",
                                     "#0d1117"}));
    EXPECT_EQ(ThemePreset::find("indigo")->colors.accent, "#3f51b5");
    EXPECT_EQ(ThemePreset::find("ocean")->colors.internalPageBackground, "#e0f7fa");
}

TEST(ThemePreset, OnlyChromeAndWhiteAreLight) {
    std::vector<std::string> light;
    for (const auto& preset : ThemePreset::all())
        if (preset.isLight()) light.push_back(preset.id);
    EXPECT_EQ(light, (std::vector<std::string>{"chrome", "white"}));
    EXPECT_FALSE(ThemePreset::isLightPresetID("bw"));
    EXPECT_FALSE(ThemePreset::isLightPresetID("White"));
    EXPECT_FALSE(ThemePreset::isLightPresetID("unknown"));
}

}  // namespace
