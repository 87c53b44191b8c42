#include "model/Bookmark.h"
#include "model/BookmarkFolder.h"
#include "model/JsonCodec.h"

#include <gtest/gtest.h>

using namespace quorelle;

namespace {

const Date someMoment = *Date::parseIso8601("2026-03-01T09:30:00Z");

Bookmark bookmark(std::string url, std::optional<std::string> favicon = std::nullopt,
                  std::optional<std::string> custom = std::nullopt, std::string title = "Title") {
    Bookmark b{.title = std::move(title), .url = std::move(url), .createdAt = someMoment};
    b.faviconURL = std::move(favicon);
    b.customIconURL = std::move(custom);
    return b;
}

TEST(Bookmark, NewBookmarksGetFreshIdsAndNoIcons) {
    const Date before = Date::now();
    Bookmark a{.title = "A", .url = "https://a.example"};
    Bookmark b{.title = "A", .url = "https://a.example"};
    EXPECT_NE(a.id, b.id);
    EXPECT_FALSE(a.id.isNil());
    EXPECT_GE(a.createdAt, before);
    EXPECT_LE(a.createdAt, Date::now());
    EXPECT_FALSE(a.faviconURL || a.customIconURL || a.folderID);
}

TEST(Bookmark, EffectiveIconPrefersCustomThenLogoThenFavicon) {
    const std::optional<std::string> logo = "vx-local://QuorelleLogo";
    EXPECT_EQ(bookmark("https://x.example", "https://x.example/f.ico", "").effectiveIconURL(),
              "https://x.example/f.ico");
    EXPECT_EQ(bookmark("https://x.example", "https://x.example/f.ico", " ").effectiveIconURL(), " ");
    EXPECT_EQ(bookmark("https://x.example").effectiveIconURL(), std::nullopt);
    EXPECT_EQ(bookmark("https://x.example", "").effectiveIconURL(), "");
    EXPECT_EQ(bookmark("vx://settings", "https://x.example/f.ico").effectiveIconURL(), logo);
    EXPECT_EQ(bookmark("vx://settings", std::nullopt, "https://c.example/i.png").effectiveIconURL(),
              "https://c.example/i.png");
    EXPECT_EQ(bookmark("  VX://History").effectiveIconURL(), logo);
}

TEST(Bookmark, DisplayLetterFromInternalAddressHostOrTitle) {
    EXPECT_EQ(bookmark("  VX://History").displayLetter(), "Q");
    EXPECT_EQ(bookmark("https://www.example.com/a").displayLetter(), "W");
    EXPECT_EQ(bookmark("https://github.com").displayLetter(), "G");
    EXPECT_EQ(bookmark("not a url", {}, {}, "zebra").displayLetter(), "Z");
    EXPECT_EQ(bookmark("", {}, {}, "\xC3\xA9t\xC3\xA9").displayLetter(), "\xC3\x89");  // é -> É
    EXPECT_EQ(bookmark("", {}, {}, "").displayLetter(), "");
}

TEST(Bookmark, AbsentOptionalsAreOmittedAndReadBackAbsent) {
    const Bookmark plain = bookmark("https://x.example");
    const Json j = toJson(plain);
    EXPECT_FALSE(j.contains("faviconURL") || j.contains("customIconURL") || j.contains("folderID"));
    EXPECT_EQ(j.at("createdAt"), "2026-03-01T09:30:00Z");
    EXPECT_EQ(json::decode<Bookmark>(j.dump()), plain);

    Json nulls = j;
    nulls["faviconURL"] = nullptr;
    nulls["folderID"] = nullptr;
    EXPECT_EQ(json::decode<Bookmark>(nulls.dump()), plain);
}

TEST(Bookmark, PresentOptionalsRoundTripIncludingEmptyText) {
    Bookmark full = bookmark("https://x.example", "", "");
    full.folderID = *Uuid::parse("6ba7b810-9dad-11d1-80b4-00c04fd430c8");
    const Json j = toJson(full);
    EXPECT_EQ(j.at("customIconURL"), "");
    EXPECT_EQ(j.at("faviconURL"), "");
    EXPECT_EQ(j.at("folderID"), "6BA7B810-9DAD-11D1-80B4-00C04FD430C8");
    EXPECT_EQ(j.at("id"), full.id.toString());
    EXPECT_EQ(json::decode<Bookmark>(j.dump()), full);
}

TEST(Bookmark, OneBadElementFailsTheList) {
    const Json good = toJson(bookmark("https://x.example"));
    Json variants[] = {good, good, good, good, good};
    variants[0].erase("url");
    variants[1]["title"] = 5;
    variants[2]["folderID"] = "nope";
    variants[3]["createdAt"] = 1234.5;
    variants[4]["faviconURL"] = Json::array();
    for (const auto& bad : variants)
        EXPECT_EQ(json::decode<std::vector<Bookmark>>(Json::array({good, bad}).dump()), std::nullopt) << bad.dump();
    EXPECT_EQ(json::decode<std::vector<Bookmark>>(Json::array({good, good}).dump())->size(), 2u);
    EXPECT_EQ(json::decode<std::vector<Bookmark>>(good.dump()), std::nullopt);  // not an array
}

TEST(BookmarkFolder, DefaultsAndRoundTrip) {
    BookmarkFolder folder{.name = "Work"};
    EXPECT_EQ(folder.sortOrder, 0);
    EXPECT_NE(folder.id, BookmarkFolder{.name = "Work"}.id);
    folder.sortOrder = INT64_MAX;
    const Json j = toJson(folder);
    EXPECT_EQ(j.at("sortOrder"), INT64_MAX);
    EXPECT_EQ(json::decode<BookmarkFolder>(j.dump()), folder);
}

TEST(BookmarkFolder, MissingOrNonIntegralSortOrderFailsTheFile) {
    const Json good = toJson(BookmarkFolder{.name = "Work", .sortOrder = 3});
    Json variants[] = {good, good, good, good};
    variants[0].erase("sortOrder");
    variants[1]["sortOrder"] = 1.5;
    variants[2]["sortOrder"] = "3";
    variants[3].erase("name");
    for (const auto& bad : variants)
        EXPECT_EQ(json::decode<std::vector<BookmarkFolder>>(Json::array({good, bad}).dump()), std::nullopt)
            << bad.dump();
    EXPECT_EQ(json::decode<BookmarkFolder>("{\"id\":\"6ba7b810-9dad-11d1-80b4-00c04fd430c8\",\"name\":\"n\","
                                           "\"sortOrder\":18446744073709551615}"),
              std::nullopt);
}

}  // namespace
