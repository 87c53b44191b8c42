#pragma once

#include "model/Json.h"
#include "model/RawEnum.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

struct UserAgentPresetCases {
    enum Case : std::uint8_t {
        default_,  // the web engine's own identity
        chromeMac,
        chromeIOS,
        iphoneSafari,
        custom,  // the user's own text (UserAgentSettings::customValue)
    };
    static constexpr std::array<std::string_view, 5> rawValues{"default", "chromeMac", "chromeIOS", "iphoneSafari",
                                                               "custom"};
    static constexpr std::array<std::string_view, 5> displayNames{"Default Safari (WebKit)", "Chrome macOS",
                                                                  "Chrome iOS", "iPhone Safari", "Custom"};
};

// Which browser identity a profile's tabs present to web sites.
class UserAgentPreset : public RawEnum<UserAgentPresetCases, UserAgentPreset> {
public:
    constexpr UserAgentPreset(Case c = default_) : RawEnum(c) {}  // NOLINT: implicit by design
};

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
