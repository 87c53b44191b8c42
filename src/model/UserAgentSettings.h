#pragma once

#include "model/Json.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// Which browser identity a profile's tabs present to web sites.
class UserAgentPreset {
public:
    enum Case : std::uint8_t {
        default_,  // the web engine's own identity
        chromeMac,
        chromeIOS,
        iphoneSafari,
        custom,  // the user's own text (UserAgentSettings::customValue)
    };
    static constexpr std::size_t count = 5;

    constexpr UserAgentPreset(Case c = default_) : case_(c) {}  // NOLINT: implicit by design
    constexpr Case value() const { return case_; }

    std::string_view rawValue() const;
    std::string_view displayName() const;

    // Exact, case-sensitive match of a raw value.
    static std::optional<UserAgentPreset> fromRawValue(std::string_view raw);
    static const std::array<UserAgentPreset, count>& allCases();

    friend constexpr bool operator==(UserAgentPreset a, UserAgentPreset b) { return a.case_ == b.case_; }

private:
    Case case_;
};

void readJson(const Json& j, UserAgentPreset& out);
Json toJson(const UserAgentPreset& preset);

// A profile's identity choice. Turning it into user-agent text is the web
// layer's job; customValue only matters with the custom preset.
struct UserAgentSettings {
    UserAgentPreset preset = UserAgentPreset::default_;
    std::string customValue;

    // The engine's own identity with no custom text. Built once, on first use.
    static const UserAgentSettings& defaults();

    friend bool operator==(const UserAgentSettings&, const UserAgentSettings&) = default;
};

// Both keys are required.
void readJson(const Json& j, UserAgentSettings& out);
Json toJson(const UserAgentSettings& settings);

}  // namespace quorelle
