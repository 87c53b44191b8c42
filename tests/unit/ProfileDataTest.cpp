#include "model/JsonCodec.h"
#include "model/ProfileData.h"

#include <gtest/gtest.h>

#include <set>

using quorelle::BrowserSettings;
using quorelle::Date;
using quorelle::Json;
using quorelle::ProfileData;
using quorelle::ShortcutItem;
using quorelle::ThemeSettings;
using quorelle::Uuid;
namespace json = quorelle::json;

namespace {

std::set<Uuid> shortcutIds(const ProfileData& data) {
    std::set<Uuid> ids;
    for (const auto& s : data.shortcuts) ids.insert(s.id);
    return ids;
}

bool sameTiles(const std::vector<ShortcutItem>& a, const std::vector<ShortcutItem>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].title != b[i].title || a[i].url != b[i].url || a[i].sortOrder != b[i].sortOrder) return false;
    return true;
}

TEST(ProfileData, EmptyHoldsDefaultsAndEmptyLists) {
    const auto& e = ProfileData::empty();
    EXPECT_TRUE(e.bookmarks.empty() && e.bookmarkFolders.empty() && e.history.empty() && e.proxies.empty() &&
                e.tabGroups.empty() && e.downloads.empty() && e.passwordReferences.empty() && e.savedThemes.empty());
    EXPECT_TRUE(sameTiles(e.shortcuts, ShortcutItem::defaultShortcuts()));
    EXPECT_EQ(e.settings, BrowserSettings::defaults());
    EXPECT_EQ(e.theme, ThemeSettings::chromeDefault(true));
    EXPECT_TRUE(e.theme.useDarkMode);
}

TEST(ProfileData, EmptyIsBuiltOnce) {
    // Built anew, its shortcuts would get fresh ids each time.
    EXPECT_EQ(shortcutIds(ProfileData::empty()), shortcutIds(ProfileData::empty()));
}

TEST(ProfileData, EachNewProfileGetsItsOwnShortcutIds) {
    auto first = ProfileData::makeNew();
    auto second = ProfileData::makeNew();
    auto a = shortcutIds(first);
    auto b = shortcutIds(second);
    auto e = shortcutIds(ProfileData::empty());
    ASSERT_EQ(a.size(), 6u);
    std::set<Uuid> all(a.begin(), a.end());
    all.insert(b.begin(), b.end());
    all.insert(e.begin(), e.end());
    EXPECT_EQ(all.size(), 18u);  // no id shared between the two profiles or with empty()
    EXPECT_TRUE(sameTiles(first.shortcuts, ProfileData::empty().shortcuts));

    // Everything but the shortcut ids matches empty().
    second.shortcuts = ProfileData::empty().shortcuts;
    EXPECT_EQ(second, ProfileData::empty());
}

TEST(ProfileData, WholeValueRoundTrips) {
    auto data = ProfileData::makeNew();
    data.history.push_back({Uuid::random(), "A", "https://a.example", Date{1000}});
    data.proxies.emplace_back();
    data.tabGroups.emplace_back();
    data.passwordReferences.push_back({Uuid::random(), "ACCOUNT"});
    auto j = quorelle::toJson(data);
    EXPECT_EQ(j.size(), 11u);
    EXPECT_EQ(json::decode<ProfileData>(json::dumpPretty(j)), data);
}

TEST(ProfileData, OnlyFoldersAndSavedThemesMayBeMissing) {
    const Json full = quorelle::toJson(ProfileData::makeNew());
    for (const auto& [key, value] : full.items()) {
        auto j = full;
        j.erase(key);
        bool optional = key == "bookmarkFolders" || key == "savedThemes";
        EXPECT_EQ(json::decode<ProfileData>(j.dump()).has_value(), optional) << "without " << key;
    }
    auto badProxy = full;
    badProxy["proxies"] = Json::array({Json{{"name", "no id"}}});
    EXPECT_FALSE(json::decode<ProfileData>(badProxy.dump()));
}

}  // namespace
