#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace quorelle {

// The shape of the model's small enumerations that are kept as raw strings.
// `Cases` names the cases and their texts; the type built on it names its
// default case:
//
//     struct SidebarDockCases {
//         enum Case : std::uint8_t { left, right };
//         static constexpr std::array<std::string_view, 2> rawValues{"left", "right"};
//     };
//     class SidebarDock : public RawEnum<SidebarDockCases, SidebarDock> {
//     public:
//         constexpr SidebarDock(Case c = left) : RawEnum(c) {}
//     };
//
// The cases count from 0 in the order of `rawValues` and read as
// `SidebarDock::left`. A `displayNames` array in the same order gives the type
// displayName(). JSON keeps the raw value (readJson/toJson in
// model/JsonCodec.h).
template <typename Cases, typename Self>
class RawEnum : public Cases {
public:
    using Case = typename Cases::Case;
    static constexpr std::size_t count = Cases::rawValues.size();

    constexpr Case value() const { return case_; }
    constexpr std::string_view rawValue() const { return Cases::rawValues[case_]; }
    constexpr std::string_view displayName() const
        requires requires { Cases::displayNames; }
    {
        return Cases::displayNames[case_];
    }

    // Exact, case-sensitive match of a raw value; nothing is trimmed.
    static constexpr std::optional<Self> fromRawValue(std::string_view raw) {
        for (std::size_t i = 0; i < count; ++i)
            if (Cases::rawValues[i] == raw) return Self(static_cast<Case>(i));
        return std::nullopt;
    }

    // Every case, in order.
    static const std::array<Self, count>& allCases() {
        static const std::array<Self, count> all = [] {
            std::array<Self, count> cases{};
            for (std::size_t i = 0; i < count; ++i) cases[i] = Self(static_cast<Case>(i));
            return cases;
        }();
        return all;
    }

    friend constexpr bool operator==(Self a, Self b) { return a.value() == b.value(); }

protected:
    constexpr explicit RawEnum(Case c) : case_(c) {}

private:
    Case case_;
};

}  // namespace quorelle
