#include "model/JsonCodec.h"
#include "model/ShortcutItem.h"

#include <gtest/gtest.h>

#include <set>

using quorelle::Json;
using quorelle::ShortcutItem;
using quorelle::Uuid;
namespace json = quorelle::json;

namespace {

TEST(ShortcutItem, DefaultsAreSixOrderedTilesWithoutIcons) {
    auto items = ShortcutItem::defaultShortcuts();
    ASSERT_EQ(items.size(), 6u);
    const char* titles[] = {"Google", "YouTube", "Gmail", "Maps", "News"};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].sortOrder, static_cast<std::int64_t>(i));
        EXPECT_FALSE(items[i].faviconURL);
        EXPECT_TRUE(items[i].url.rfind("https://", 0) == 0) << items[i].url;
        // scheme and host only
        EXPECT_EQ(items[i].url.find('/', 8), std::string::npos) << items[i].url;
        if (i < 5) {
            EXPECT_EQ(items[i].title, titles[i]);
        }
    }
    EXPECT_FALSE(items[5].title.empty());
}

TEST(ShortcutItem, EveryCallGivesFreshIds) {
    auto first = ShortcutItem::defaultShortcuts();
    auto second = ShortcutItem::defaultShortcuts();
    EXPECT_NE(first, second);
    std::set<Uuid> ids;
    for (const auto& list : {first, second}) {
        for (const auto& item : list) ids.insert(item.id);
    }
    EXPECT_EQ(ids.size(), 12u);
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].title, second[i].title);
        EXPECT_EQ(first[i].url, second[i].url);
        EXPECT_EQ(first[i].sortOrder, second[i].sortOrder);
    }
}

TEST(ShortcutItem, AbsentIconIsLeftOutAndRoundTrips) {
    ShortcutItem item{Uuid::random(), "Docs", "https://docs.example", 7, std::nullopt};
    auto j = toJson(item);
    EXPECT_FALSE(j.contains("faviconURL"));
    EXPECT_EQ(j["id"], item.id.toString());
    EXPECT_EQ(json::decode<ShortcutItem>(j.dump()), item);

    item.faviconURL = "";  // a present empty address is still written
    j = toJson(item);
    EXPECT_EQ(j["faviconURL"], "");
    EXPECT_EQ(json::decode<ShortcutItem>(j.dump()), item);
}

TEST(ShortcutItem, RequiredKeysAndTypes) {
    const std::string id = R"("id":"6f9619ff-8b86-d011-b42d-00c04fc964ff")";
    auto item = json::decode<ShortcutItem>("{" + id + R"(,"title":"T","url":"u","sortOrder":2,"faviconURL":null})");
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->faviconURL);
    EXPECT_EQ(item->id.toString(), "6F9619FF-8B86-D011-B42D-00C04FC964FF");

    EXPECT_FALSE(json::decode<ShortcutItem>("{" + id + R"(,"title":"T","url":"u","sortOrder":"2"})"));
    EXPECT_FALSE(json::decode<ShortcutItem>("{" + id + R"(,"title":"T","url":"u","sortOrder":2.5})"));
    EXPECT_FALSE(json::decode<ShortcutItem>("{" + id + R"(,"title":"T","sortOrder":2})"));
    EXPECT_FALSE(json::decode<ShortcutItem>("{" + id + R"(,"title":"T","url":"u","sortOrder":2,"faviconURL":3})"));
    EXPECT_FALSE(json::decode<ShortcutItem>(R"({"title":"T","url":"u","sortOrder":2})"));
}

TEST(ShortcutItem, ListsKeepTheirOrderAndFailAsAWhole) {
    auto defaults = ShortcutItem::defaultShortcuts();
    std::swap(defaults[0], defaults[3]);  // list order is independent of sortOrder
    auto text = json::dumpPretty(quorelle::toJson(defaults));
    EXPECT_EQ(json::decode<std::vector<ShortcutItem>>(text), defaults);

    Json list = quorelle::toJson(defaults);
    list[4]["sortOrder"] = "last";
    EXPECT_FALSE(json::decode<std::vector<ShortcutItem>>(list.dump()));
    EXPECT_EQ(json::decode<std::vector<ShortcutItem>>("[]"), std::vector<ShortcutItem>{});
}

}  // namespace
