#pragma once

#include "model/Color.h"
#include "model/Json.h"
#include "model/Uuid.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

// The eight fixed colours of tab groups; they do not follow the theme.
class TabGroupColor {
public:
    enum Case : std::uint8_t { gray, blue, red, yellow, green, pink, purple, cyan };
    static constexpr std::size_t count = 8;

    constexpr TabGroupColor(Case c = blue) : case_(c) {}  // NOLINT: implicit by design
    constexpr Case value() const { return case_; }

    std::string_view rawValue() const;
    std::string_view id() const { return rawValue(); }
    // The raw value with its first letter in upper case ("Purple").
    std::string_view displayName() const;
    // "#" and six lower-case hex digits.
    std::string_view colorHex() const;
    // The colour drawn for the group: Color::fromHex of colorHex().
    Color color() const { return Color::fromHex(colorHex()); }

    // Exact, case-sensitive match of a raw value.
    static std::optional<TabGroupColor> fromRawValue(std::string_view raw);
    static const std::array<TabGroupColor, count>& allCases();

    friend constexpr bool operator==(TabGroupColor a, TabGroupColor b) { return a.case_ == b.case_; }

private:
    Case case_;
};

void readJson(const Json& j, TabGroupColor& out);
Json toJson(const TabGroupColor& color);

// A named, coloured set of tabs; members are named by their tab ids, in order.
struct TabGroup {
    Uuid id = Uuid::random();
    std::string name = "Group";
    TabGroupColor color = TabGroupColor::blue;
    std::vector<Uuid> tabIDs;
    bool isCollapsed = false;

    friend bool operator==(const TabGroup&, const TabGroup&) = default;
};

// All five keys are required; defaults never fill a gap.
// Made from the document alone (no random id, no clock reading).
TabGroup readJson(const Json& j, JsonType<TabGroup>);
Json toJson(const TabGroup& group);

}  // namespace quorelle
