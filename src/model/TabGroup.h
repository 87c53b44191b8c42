#pragma once

#include "model/Color.h"
#include "model/Json.h"
#include "model/RawEnum.h"
#include "model/Uuid.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

struct TabGroupColorCases {
    enum Case : std::uint8_t { gray, blue, red, yellow, green, pink, purple, cyan };
    static constexpr std::array<std::string_view, 8> rawValues{"gray",  "blue", "red",    "yellow",
                                                               "green", "pink", "purple", "cyan"};
    // The raw value with its first letter in upper case ("Purple").
    static constexpr std::array<std::string_view, 8> displayNames{"Gray",  "Blue", "Red",    "Yellow",
                                                                  "Green", "Pink", "Purple", "Cyan"};
    // "#" and six lower-case hex digits.
    static constexpr std::array<std::string_view, 8> colorHexes{"#9aa0a6", "#1a73e8", "#d93025", "#f9ab00",
                                                                "#1e8e3e", "#d01884", "#9334e6", "#12b5cb"};
};

// The eight fixed colours of tab groups; they do not follow the theme.
class TabGroupColor : public RawEnum<TabGroupColorCases, TabGroupColor> {
public:
    constexpr TabGroupColor(Case c = blue) : RawEnum(c) {}  // NOLINT: implicit by design

    std::string_view id() const { return rawValue(); }
    std::string_view colorHex() const { return colorHexes[value()]; }
    // The colour drawn for the group: Color::fromHex of colorHex().
    Color color() const { return Color::fromHex(colorHex()); }
};

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
