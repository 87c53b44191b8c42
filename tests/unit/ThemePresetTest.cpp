#include "model/ThemePreset.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

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

// Every row of the picker, colours in field order.
struct PresetRow {
    const char* id;
    const char* name;
    ThemeColors colors;
};

const std::vector<PresetRow>& expectedRows() {
    static const std::vector<PresetRow> rows{
        {"chrome", "Chrome Default",
         {"#f1f3f4", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#1a73e8",
          "#1a73e8", "#ffffff", "#f8fafd", "#ffffff", "#f8fafd"}},
        {"red", "Red",
         {"#fce8e6", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#d93025",
          "#d93025", "#ffffff", "#fce8e6", "#ffffff", "#fce8e6"}},
        {"orange", "Orange",
         {"#feefe3", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#e8710a",
          "#e8710a", "#ffffff", "#feefe3", "#ffffff", "#feefe3"}},
        {"yellow", "Yellow",
         {"#fef7e0", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#f9ab00",
          "#f9ab00", "#ffffff", "#fef7e0", "#ffffff", "#fef7e0"}},
        {"green", "Green",
         {"#e6f4ea", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#1e8e3e",
          "#1e8e3e", "#ffffff", "#e6f4ea", "#ffffff", "#e6f4ea"}},
        {"blue", "Blue",
         {"#e8f0fe", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#1a73e8",
          "#1a73e8", "#ffffff", "#e8f0fe", "#ffffff", "#e8f0fe"}},
        {"indigo", "Indigo",
         {"#e8eaf6", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#3f51b5",
          "#3f51b5", "#ffffff", "#e8eaf6", "#ffffff", "#e8eaf6"}},
        {"violet", "Violet",
         {"#f3e8fd", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#9334e6",
          "#9334e6", "#ffffff", "#f3e8fd", "#ffffff", "#f3e8fd"}},
        {"black", "Black",
         {"#202124", "#303134", "#303134", "#292a2d", "#202124",
          "#303134", "#e8eaed", "#9aa0a6", "#3c4043", "#8ab4f8",
          "#8ab4f8", "#202124", "#202124", "#303134", "#202124"}},
        {"white", "White",
         {"#f1f3f4", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#1a73e8",
          "#1a73e8", "#ffffff", "#f8fafd", "#ffffff", "#f8fafd"}},
        {"bw", "Black & White",
         {"#ffffff", "#ffffff", "#ffffff", "#f5f5f5", "#f5f5f5",
          "#ffffff", "#000000", "#666666", "#cccccc", "#000000",
          "#000000", "#ffffff", "#ffffff", "#ffffff", "#ffffff"}},
        {"ocean", "Ocean",
         {"#e0f7fa", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#00796b",
          "#00796b", "#ffffff", "#e0f7fa", "#ffffff", "#e0f7fa"}},
        {"forest", "Forest",
         {"#e8f5e9", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#2e7d32",
          "#2e7d32", "#ffffff", "#e8f5e9", "#ffffff", "#e8f5e9"}},
        {"sunset", "Sunset",
         {"#fff3e0", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
          "#ffffff", "#202124", "#5f6368", "#dadce0", "#e65100",
          "#e65100", "#ffffff", "#fff3e0", "#ffffff", "#fff3e0"}},
        {"midnight", "Midnight",
         {"#0d1117", "#161b22", "#161b22", "#0d1117", "#0d1117",
          "#161b22", "#c9d1d9", "#8b949e", "#30363d", "#58a6ff",
          "#58a6ff", "#0d1117", "#0d1117", "#161b22", "#0d1117"}},
    };
    return rows;
}

TEST(ThemePreset, EveryRowMatchesItsTableExactly) {
    const auto& all = ThemePreset::all();
    const auto& expected = expectedRows();
    ASSERT_EQ(all.size(), expected.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].id, expected[i].id) << "row " << i + 1;
        EXPECT_EQ(all[i].name, expected[i].name) << "row " << i + 1;
        for (auto field : ThemeColors::fieldNames())
            EXPECT_EQ(*all[i].colors.field(field), *expected[i].colors.field(field)) << expected[i].id << "." << field;
    }
}

// Dark exactly when the text is lighter than the page: the tinted presets
// and "bw" are light colour sets.
TEST(ThemePreset, DarkExactlyWhenItsTextIsLighterThanItsPage) {
    std::vector<std::string> dark;
    for (const auto& preset : ThemePreset::all())
        if (preset.isDark()) dark.push_back(preset.id);
    EXPECT_EQ(dark, (std::vector<std::string>{"black", "midnight"}));
}

}  // namespace
