#include "model/JsonCodec.h"
#include "model/TabGroup.h"

#include <gtest/gtest.h>

using quorelle::Json;
using quorelle::TabGroup;
using quorelle::TabGroupColor;
using quorelle::Uuid;
namespace json = quorelle::json;

namespace {

Json validGroup() {
    return Json{{"id", Uuid::random().toString()},
                {"name", "Work"},
                {"color", "purple"},
                {"tabIDs", Json::array({Uuid::random().toString(), Uuid::random().toString()})},
                {"isCollapsed", false}};
}

std::optional<TabGroup> decode(const Json& j) { return json::decode<TabGroup>(j.dump()); }

TEST(TabGroupColor, EightColoursInOrder) {
    const auto& all = TabGroupColor::allCases();
    ASSERT_EQ(all.size(), 8u);
    const char* raw[] = {"gray", "blue", "red", "yellow", "green", "pink", "purple", "cyan"};
    const char* hex[] = {"#9aa0a6", "#1a73e8", "#d93025", "#f9ab00", "#1e8e3e", "#d01884", "#9334e6", "#12b5cb"};
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].rawValue(), raw[i]);
        EXPECT_EQ(all[i].id(), raw[i]);
        EXPECT_EQ(all[i].colorHex(), hex[i]);
        EXPECT_EQ(TabGroupColor::fromRawValue(raw[i]), all[i]);
        std::string name(all[i].displayName());
        EXPECT_EQ(name.substr(1), std::string(raw[i]).substr(1));
        EXPECT_EQ(name[0], raw[i][0] - 'a' + 'A');
    }
    EXPECT_EQ(TabGroupColor(TabGroupColor::purple).displayName(), "Purple");
    EXPECT_EQ(TabGroupColor(TabGroupColor::blue).color(), (quorelle::Color{26 / 255.0, 115 / 255.0, 232 / 255.0, 1}));
    EXPECT_EQ(TabGroupColor::fromRawValue("Blue"), std::nullopt);
    EXPECT_EQ(TabGroupColor::fromRawValue("orange"), std::nullopt);
}

TEST(TabGroup, DefaultsAndFreshIds) {
    TabGroup a;
    TabGroup b;
    EXPECT_EQ(a.name, "Group");
    EXPECT_EQ(a.color, TabGroupColor::blue);
    EXPECT_TRUE(a.tabIDs.empty());
    EXPECT_FALSE(a.isCollapsed);
    EXPECT_NE(a.id, b.id);
}

TEST(TabGroup, RoundTripWritesAllKeysWithUpperCaseIds) {
    TabGroup g;
    g.color = TabGroupColor::cyan;
    g.tabIDs = {Uuid::random(), Uuid::random()};
    g.isCollapsed = true;
    auto j = toJson(g);
    EXPECT_EQ(j.size(), 5u);
    EXPECT_EQ(j["color"], "cyan");
    EXPECT_EQ(j["tabIDs"][1], g.tabIDs[1].toString());
    EXPECT_EQ(decode(j), g);

    g.tabIDs.clear();  // an empty member list is still written
    EXPECT_EQ(toJson(g)["tabIDs"], Json::array());
}

TEST(TabGroup, MemberOrderMatters) {
    auto g = decode(validGroup());
    ASSERT_TRUE(g);
    auto swapped = *g;
    std::swap(swapped.tabIDs[0], swapped.tabIDs[1]);
    EXPECT_NE(*g, swapped);
}

TEST(TabGroup, MissingKeysAndBadValuesFail) {
    for (const char* key : {"id", "name", "color", "tabIDs", "isCollapsed"}) {
        auto j = validGroup();
        j.erase(key);
        EXPECT_FALSE(decode(j)) << "without " << key;
    }
    for (Json color : {Json("Blue"), Json("orange"), Json(1)}) {
        auto j = validGroup();
        j["color"] = color;
        EXPECT_FALSE(decode(j)) << color.dump();
    }
    auto j = validGroup();
    j["tabIDs"].push_back("tab-3");
    EXPECT_FALSE(decode(j));
    j = validGroup();
    j["tabIDs"] = Uuid::random().toString();
    EXPECT_FALSE(decode(j));
}

}  // namespace
