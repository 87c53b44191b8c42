#include "model/HistoryItem.h"
#include "model/JsonCodec.h"

#include <gtest/gtest.h>

using namespace quorelle;

namespace {

HistoryItem visit() {
    return HistoryItem{*Uuid::parse("0f8fad5b-d9cb-469f-a165-70867728950e"), "Example", "https://example.com/",
                       *Date::parseIso8601("2025-12-09T23:59:59Z")};
}

TEST(HistoryItem, NewEntryHasFreshIdAndTheCurrentTime) {
    const Date before = Date::now();
    HistoryItem a{.title = "T", .url = "https://a.example"};
    const Date after = Date::now();
    EXPECT_NE(a.id, (HistoryItem{.title = "T", .url = "https://a.example"}.id));
    EXPECT_GE(a.visitedAt, before);
    EXPECT_LE(a.visitedAt, after);
}

TEST(HistoryItem, EntriesDifferingOnlyInTimeAreNotEqual) {
    HistoryItem later = visit();
    later.visitedAt.secondsSinceReferenceDate += 0.25;
    EXPECT_NE(later, visit());
}

TEST(HistoryItem, RoundTripsAllFourKeys) {
    const Json j = toJson(visit());
    EXPECT_EQ(j, (Json{{"id", "0F8FAD5B-D9CB-469F-A165-70867728950E"},
                       {"title", "Example"},
                       {"url", "https://example.com/"},
                       {"visitedAt", "2025-12-09T23:59:59Z"}}));
    EXPECT_EQ(json::decode<HistoryItem>(j.dump()), visit());
}

TEST(HistoryItem, MissingVisitTimeFailsTheWholeHistory) {
    const Json good = toJson(visit());
    Json missing = good;
    missing.erase("visitedAt");
    EXPECT_EQ(json::decode<std::vector<HistoryItem>>(Json::array({good, missing}).dump()), std::nullopt);
    for (const char* key : {"id", "title", "url"}) {
        Json bad = good;
        bad[key] = nullptr;
        EXPECT_EQ(json::decode<HistoryItem>(bad.dump()), std::nullopt) << key;
    }
    Json fractional = good;
    fractional["visitedAt"] = "2025-12-09T23:59:59.5Z";
    EXPECT_EQ(json::decode<HistoryItem>(fractional.dump()), std::nullopt);
}

}  // namespace
