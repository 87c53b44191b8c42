#include "model/TabGroup.h"

#include "model/JsonCodec.h"

namespace quorelle {
namespace {

struct ColorRow {
    TabGroupColor::Case value;
    std::string_view rawValue;
    std::string_view displayName;
    std::string_view hex;
};

constexpr std::array<ColorRow, TabGroupColor::count> kColors{{
    {TabGroupColor::gray, "gray", "Gray", "#9aa0a6"},
    {TabGroupColor::blue, "blue", "Blue", "#1a73e8"},
    {TabGroupColor::red, "red", "Red", "#d93025"},
    {TabGroupColor::yellow, "yellow", "Yellow", "#f9ab00"},
    {TabGroupColor::green, "green", "Green", "#1e8e3e"},
    {TabGroupColor::pink, "pink", "Pink", "#d01884"},
    {TabGroupColor::purple, "purple", "Purple", "#9334e6"},
    {TabGroupColor::cyan, "cyan", "Cyan", "#12b5cb"},
}};

constexpr json::EnumTable<TabGroupColor::Case, TabGroupColor::count> makeRawTable() {
    json::EnumTable<TabGroupColor::Case, TabGroupColor::count> table{};
    for (std::size_t i = 0; i < kColors.size(); ++i) table[i] = {kColors[i].value, kColors[i].rawValue};
    return table;
}

constexpr auto kRawValues = makeRawTable();

const ColorRow& row(TabGroupColor::Case c) { return kColors[static_cast<std::size_t>(c)]; }

}  // namespace

std::string_view TabGroupColor::rawValue() const { return row(case_).rawValue; }

std::string_view TabGroupColor::displayName() const { return row(case_).displayName; }

std::string_view TabGroupColor::colorHex() const { return row(case_).hex; }

std::optional<TabGroupColor> TabGroupColor::fromRawValue(std::string_view raw) {
    auto found = json::enumFromName(raw, kRawValues);
    if (!found) return std::nullopt;
    return TabGroupColor(*found);
}

const std::array<TabGroupColor, TabGroupColor::count>& TabGroupColor::allCases() {
    static const std::array<TabGroupColor, count> all{gray, blue, red, yellow, green, pink, purple, cyan};
    return all;
}

void readJson(const Json& j, TabGroupColor& out) {
    TabGroupColor::Case value{};
    json::readEnum(j, value, kRawValues);
    out = value;
}

Json toJson(const TabGroupColor& color) { return std::string(color.rawValue()); }

TabGroup readJson(const Json& j, JsonType<TabGroup>) {
    return TabGroup{.id = json::req<Uuid>(j, "id"),
                    .name = json::req<std::string>(j, "name"),
                    .color = json::req<TabGroupColor>(j, "color"),
                    .tabIDs = json::req<std::vector<Uuid>>(j, "tabIDs"),
                    .isCollapsed = json::req<bool>(j, "isCollapsed")};
}

Json toJson(const TabGroup& group) {
    Json j = Json::object();
    json::put(j, "id", group.id);
    json::put(j, "name", group.name);
    json::put(j, "color", group.color);
    json::put(j, "tabIDs", group.tabIDs);
    json::put(j, "isCollapsed", group.isCollapsed);
    return j;
}

}  // namespace quorelle
