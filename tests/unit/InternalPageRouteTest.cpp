#include "model/InternalPageRoute.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string_view>
#include <utility>

using quorelle::InternalPageRoute;

namespace {

std::optional<InternalPageRoute> route(std::string_view address) { return InternalPageRoute::from(address); }

TEST(InternalPageRoute, TableHasTwentyFourRoutesInOrder) {
    const auto& all = InternalPageRoute::allCases();
    ASSERT_EQ(all.size(), 24u);
    EXPECT_EQ(all.front(), InternalPageRoute::newtab);
    EXPECT_EQ(all.back(), InternalPageRoute::extensions);
    std::set<std::string_view> names;
    for (auto r : all) {
        names.insert(r.rawValue());
        EXPECT_EQ(r.id(), r.rawValue());
        EXPECT_EQ(r.vxURL(), "vx://" + std::string(r.rawValue()));
        EXPECT_EQ(route(r.vxURL()), r) << r.rawValue();
        for (char c : r.rawValue()) EXPECT_TRUE(c != '/' && c != '?' && !(c >= 'A' && c <= 'Z'));
    }
    EXPECT_EQ(names.size(), 24u);
    EXPECT_EQ(InternalPageRoute::routeMap().size(), 24u);
    EXPECT_EQ(InternalPageRoute::reservedHidden(),
              (std::set<InternalPageRoute>{InternalPageRoute::sync, InternalPageRoute::extensions}));
}

TEST(InternalPageRoute, TitlesWithTheirExceptions) {
    EXPECT_EQ(InternalPageRoute(InternalPageRoute::newtab).displayTitle(), "New Tab");
    EXPECT_EQ(InternalPageRoute(InternalPageRoute::permissions).displayTitle(), "Site Permissions");
    EXPECT_EQ(InternalPageRoute(InternalPageRoute::tabGroups).displayTitle(), "Tab Groups");
    EXPECT_EQ(InternalPageRoute(InternalPageRoute::tabGroups).rawValue(), "tab-groups");
    EXPECT_EQ(InternalPageRoute(InternalPageRoute::about).displayTitle(), "About Quorelle");
    EXPECT_EQ(InternalPageRoute(InternalPageRoute::experiments).displayTitle(), "Developer Mode");
    EXPECT_EQ(InternalPageRoute(InternalPageRoute::proxy).displayTitle(), "Proxy Add-on");
    EXPECT_EQ(InternalPageRoute(InternalPageRoute::memory).displayTitle(), "Memory");
}

TEST(InternalPageRoute, EveryRouteHasItsRawNameAndTitleInDeclarationOrder) {
    const std::pair<std::string_view, std::string_view> expected[] = {
        {"newtab", "New Tab"},
        {"settings", "Settings"},
        {"history", "History"},
        {"bookmarks", "Bookmarks"},
        {"downloads", "Downloads"},
        {"profiles", "Profiles"},
        {"sessions", "Sessions"},
        {"permissions", "Site Permissions"},
        {"privacy", "Privacy"},
        {"security", "Security"},
        {"performance", "Performance"},
        {"memory", "Memory"},
        {"themes", "Themes"},
        {"shortcuts", "Shortcuts"},
        {"updates", "Updates"},
        {"feedback", "Feedback"},
        {"tab-groups", "Tab Groups"},
        {"passwords", "Passwords"},
        {"about", "About Quorelle"},
        {"flags", "Flags"},
        {"experiments", "Developer Mode"},
        {"proxy", "Proxy Add-on"},
        {"sync", "Sync"},
        {"extensions", "Extensions"},
    };
    const auto& all = InternalPageRoute::allCases();
    ASSERT_EQ(all.size(), std::size(expected));
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].rawValue(), expected[i].first) << "case " << i;
        EXPECT_EQ(all[i].displayTitle(), expected[i].second) << "case " << i;
        EXPECT_EQ(InternalPageRoute::fromRawValue(expected[i].first), all[i]);
    }
}

TEST(InternalPageRoute, NewTabAliases) {
    for (const char* a : {"vx://", "vx:///", "vx://internal", "vx://internal/settings", "  VX://  ", "vx://newtab",
                          "VX://NewTab"})
        EXPECT_EQ(route(a), InternalPageRoute::newtab) << a;
}

TEST(InternalPageRoute, OnlyTheFirstNonEmptyPieceCounts) {
    for (const char* a : {"vx://settings/", "vx:///settings", "vx://settings/advanced"})
        EXPECT_EQ(route(a), InternalPageRoute::settings) << a;
    EXPECT_EQ(route(" vx://history\n"), InternalPageRoute::history);
    EXPECT_EQ(route("vx://tab-groups"), InternalPageRoute::tabGroups);
    EXPECT_EQ(route("VX://TAB-GROUPS"), InternalPageRoute::tabGroups);
}

TEST(InternalPageRoute, AddressesThatNameNoPage) {
    for (const char* a : {"vx://tabgroups", "vx://tabGroups", "vx://settings?section=privacy", "vx://settings#top",
                          "vx://?q=1", "vx://internal?x", "vx://new tab", "vx:// settings", "vx://settings x",
                          "vx://history\t/x", "vx:settings", "vx:/settings", "", "https://example.com/settings"})
        EXPECT_EQ(route(a), std::nullopt) << a;
}

TEST(InternalPageRoute, RawValueLookupIsExact) {
    EXPECT_EQ(InternalPageRoute::fromRawValue("tab-groups"), InternalPageRoute::tabGroups);
    EXPECT_EQ(InternalPageRoute::fromRawValue("tabGroups"), std::nullopt);
    EXPECT_EQ(InternalPageRoute::fromRawValue("Settings"), std::nullopt);
    EXPECT_EQ(InternalPageRoute::fromRawValue(" settings"), std::nullopt);
}

TEST(InternalPageRoute, UnicodeLowerCasingBeforeTrimming) {
    // U+212A KELVIN SIGN lower-cases to "k", so the address names no page but
    // is still recognised as internal; U+0085 is trimmed.
    EXPECT_EQ(route("\xC2\x85vx://settings\xC2\x85"), InternalPageRoute::settings);
    EXPECT_EQ(route("\xE2\x80\xA8vx://about"), InternalPageRoute::about);  // U+2028
}

}  // namespace
